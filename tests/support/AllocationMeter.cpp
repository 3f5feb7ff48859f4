#include "tests/support/AllocationMeter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> Held{0};
std::atomic<std::int64_t> Peak{0};
// Allocations still to pass before the one that fails; negative: none fails.
std::atomic<std::int64_t> FailAfter{-1};
std::atomic<bool> Failed{false};

// Each block carries its size in front, so delete knows what it gives back.
constexpr std::size_t HeaderSize = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    if (FailAfter.load() >= 0 && FailAfter.fetch_sub(1) == 0) {
        Failed = true;
        throw std::bad_alloc();
    }
    void* block = std::malloc(size + HeaderSize);
    if (!block)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::int64_t now = Held += static_cast<std::int64_t>(size);
    std::int64_t peak = Peak.load();
    while (now > peak && !Peak.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + HeaderSize;
}

void Release(void* pointer)
{
    if (!pointer)
        return;
    void* block = static_cast<char*>(pointer) - HeaderSize;
    Held -= static_cast<std::int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}

std::int64_t StartHeld = 0;

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* pointer) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer) noexcept
{
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    Release(pointer);
}

namespace kzm::test {

AllocationMeter::AllocationMeter()
{
    StartHeld = Held.load();
    Peak = StartHeld;
}

std::int64_t AllocationMeter::PeakGrowth() const
{
    return Peak.load() - StartHeld;
}

AllocationFailure::AllocationFailure(std::int64_t skip)
{
    Failed = false;
    FailAfter = skip;
}

AllocationFailure::~AllocationFailure()
{
    FailAfter = -1;
}

bool AllocationFailure::Happened() const
{
    return Failed.load();
}

}  // namespace kzm::test
