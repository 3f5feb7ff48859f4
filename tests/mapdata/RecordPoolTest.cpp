// Records made in a pool are ordinary shared references: their own counts,
// their own lifetimes, however long the pool and their neighbours last.
#include "mapdata/RecordPool.h"

#include <vector>

#include <gtest/gtest.h>

#include "mapdata/TRKTile.h"

namespace kzm {
namespace {

// Counts its destructions; fills a good part of a block.
struct Counted : Object {
    explicit Counted(int value = 7) : Value(value) {}
    ~Counted() override { ++Destroyed; }
    int Value;
    char Ballast[200] = {};
    static inline int Destroyed = 0;
};

TEST(RecordPool, RecordsAreValueInitialisedLikeMakeShared)
{
    RecordPool pool;
    const Ref<TRKTile> tile = pool.Make<TRKTile>();
    EXPECT_EQ(tile->Layer, -1);
    EXPECT_EQ(tile->ScaleX, 0.0f);
    EXPECT_EQ(tile.use_count(), 1);
}

// Spread over many blocks, each record dies when its last holder lets go,
// and those still held outlive the pool and every other record of their
// block. The sanitizer build checks that no block goes before its records.
TEST(RecordPool, EachRecordLivesExactlyAsLongAsItsHolders)
{
    constexpr int kCount = 20000;  // about five blocks
    Counted::Destroyed = 0;
    std::vector<Ref<Counted>> kept;
    std::vector<std::weak_ptr<Counted>> watched;
    {
        RecordPool pool;
        std::vector<Ref<Counted>> all;
        for (int i = 0; i < kCount; ++i) {
            all.push_back(pool.Make<Counted>());
            all.back()->Value = i;
        }
        for (int i = 0; i < kCount; i += 997)
            kept.push_back(all[static_cast<std::size_t>(i)]);
        watched.push_back(all[1]);
        all.erase(all.begin() + 1);
        EXPECT_EQ(Counted::Destroyed, 1);
        EXPECT_TRUE(watched[0].expired());
    }
    EXPECT_EQ(Counted::Destroyed, kCount - static_cast<int>(kept.size()));
    for (std::size_t k = 0; k < kept.size(); ++k) {
        EXPECT_EQ(kept[k]->Value, static_cast<int>(k) * 997);
        EXPECT_EQ(kept[k].use_count(), 1);
    }
    kept.clear();
    EXPECT_EQ(Counted::Destroyed, kCount);
}

TEST(RecordPool, AWeakReferenceOutlivesTheRecordAndItsBlock)
{
    std::weak_ptr<Counted> watch;
    {
        RecordPool pool;
        watch = pool.Make<Counted>(3);
        EXPECT_TRUE(watch.expired());
        auto held = pool.Make<Counted>(4);
        watch = held;
        EXPECT_EQ(watch.lock()->Value, 4);
    }
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace kzm
