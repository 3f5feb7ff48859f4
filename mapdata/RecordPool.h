// Memory for the many records one read creates, carved out of large blocks.
//
// A map of a million tiles would otherwise cost a million heap allocations,
// each with its own bookkeeping, scattered wherever the heap has room. Here
// each record with its reference counts lies in a block beside the records
// read before and after it: they take less memory, and a walk of the list
// meets them in memory order.
//
// The records are ordinary shared references: each has its own counts, dies
// when its last holder lets go, and may outlive the pool, the read and the
// level. A block goes back to the heap when the last record made in it is
// gone and the pool has moved on to another block. The price: the memory of
// a dead record is not reused while others of its block live, so a record
// held on its own keeps its whole block.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "core/Object.h"

namespace kzm {

class RecordPool {
public:
    // Blocks are aligned to their size, so a record finds its block from its
    // own address and the allocator kept with it needs no state.
    static constexpr std::size_t BlockBytes = std::size_t{1} << 20;
    // Room made before each record: enough for any record with the counts
    // shared_ptr keeps beside it.
    static constexpr std::size_t MaxRecordBytes = 512;

private:
    struct Block {
        // The records made in the block and not yet gone, counted without a
        // locked instruction per record: while the pool fills the block the
        // count carries a large bias, which no number of deaths can use up,
        // and the pool takes the bias off, less the records it made, when it
        // moves on. Whoever brings the count to 0 frees the block.
        static constexpr std::int64_t Bias = std::int64_t{1} << 62;
        std::atomic<std::int64_t> Live{Bias};
        std::int64_t Made = 0;             // only the filling pool touches it
        std::size_t Used = sizeof(Block);  // bytes from the block's start

        void Drop(std::int64_t count)
        {
            if (Live.fetch_sub(count, std::memory_order_acq_rel) == count) {
                this->~Block();
                ::operator delete (static_cast<void*>(this), std::align_val_t{BlockBytes});
            }
        }
        void Leave() { Drop(Bias - Made); }
    };

    // The block that Make is filling on this thread, for the allocator.
    static inline thread_local Block* Filling = nullptr;

public:
    template <class T>
    class Allocator {
    public:
        using value_type = T;

        Allocator() = default;
        template <class U>
        Allocator(const Allocator<U>&)
        {}

        T* allocate(std::size_t n)
        {
            static_assert(alignof(T) <= alignof(std::max_align_t));
            Block* block = Filling;
            const std::size_t bytes = n * sizeof(T);
            const std::size_t at = block ? (block->Used + alignof(T) - 1) / alignof(T) * alignof(T) : 0;
            // Make has made room for one record; anything else is refused.
            if (!block || bytes > MaxRecordBytes || at + bytes > BlockBytes)
                throw std::bad_alloc();
            block->Used = at + bytes;
            ++block->Made;
            return reinterpret_cast<T*>(reinterpret_cast<std::byte*>(block) + at);
        }
        void deallocate(T* record, std::size_t)
        {
            // Blocks are aligned to their size, so masking a record's address
            // finds its block: the one place the pool needs integer addresses.
            const auto address = reinterpret_cast<std::uintptr_t>(record);
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            auto* block = reinterpret_cast<Block*>(address & ~(std::uintptr_t{BlockBytes} - 1));
            block->Drop(1);
        }

        template <class U>
        bool operator==(const Allocator<U>&) const
        {
            return true;
        }
    };

    RecordPool() = default;
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;
    ~RecordPool()
    {
        if (Current)
            Current->Leave();
    }

    // A new record of class T made from the arguments, as make_shared would
    // make it (value-initialised when there are none).
    template <class T, class... Arguments>
    Ref<T> Make(Arguments&&... arguments)
    {
        static_assert(sizeof(T) + 64 <= MaxRecordBytes);
        if (!Current || Current->Used + MaxRecordBytes > BlockBytes)
            NewBlock();
        struct Fill {
            explicit Fill(Block* block) { Filling = block; }
            ~Fill() { Filling = nullptr; }
        } fill(Current);
        return std::allocate_shared<T>(Allocator<T>(), std::forward<Arguments>(arguments)...);
    }

private:
    void NewBlock()
    {
        void* memory = ::operator new (BlockBytes, std::align_val_t{BlockBytes});
        Block* block = new (memory) Block;
        if (Current)
            Current->Leave();
        Current = block;
    }

    Block* Current = nullptr;
};

}  // namespace kzm
