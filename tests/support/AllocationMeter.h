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

}  // namespace kzm::test
