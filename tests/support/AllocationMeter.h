// Counts the bytes the test program holds through operator new, so a test can
// say how much a call allocated at its peak without timing or OS probes.
// A program that uses the meter gets the counting operator new with it.
#pragma once

#include <cstdint>

namespace kzm::test {

class AllocationMeter {
public:
    AllocationMeter();  // starts measuring from what is held now
    // The most held at once since the meter started, above the start.
    std::int64_t PeakGrowth() const;
};

// While it lives, the allocation that follows `skip` others fails as if
// memory had run out: operator new throws std::bad_alloc, the nothrow form
// answers null. Failing each allocation of a call in turn shows where memory
// running out goes.
class AllocationFailure {
public:
    explicit AllocationFailure(std::int64_t skip);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
    bool Happened() const;  // the failing allocation was asked for
};

}  // namespace kzm::test
