#include "core/ObjectList.h"

#include <gtest/gtest.h>

#include "core/Object.h"

namespace kzm {
namespace {

struct Item : Object {
    explicit Item(int value) : Value(value) {}
    int Value;
};

std::vector<int> Values(ObjectList& list)
{
    std::vector<int> values;
    list.ForEach([&](const Ref<Object>& object) { values.push_back(As<Item>(object)->Value); });
    return values;
}

TEST(ObjectList, AppendsInOrderAndCountsDuplicates)
{
    ObjectList list;
    auto one = std::make_shared<Item>(1);
    list.Append(one);
    list.Append(std::make_shared<Item>(2));
    list.Append(one);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 1}));
}

TEST(ObjectList, RemoveTakesTheFirstEntryOfThatVeryObject)
{
    ObjectList list;
    auto a = std::make_shared<Item>(7);
    auto twin = std::make_shared<Item>(7);  // equal contents, another object
    auto b = std::make_shared<Item>(8);
    list.Append(a);
    list.Append(b);
    list.Append(a);
    EXPECT_FALSE(list.Remove(twin.get()));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Remove(a.get()));
    EXPECT_EQ(Values(list), (std::vector<int>{8, 7}));
    EXPECT_EQ(list.Entries().back().get(), a.get());
}

TEST(ObjectList, WalkSurvivesRemovalOfTheDeliveredElement)
{
    ObjectList list;
    for (int i = 0; i < 6; ++i)
        list.Append(std::make_shared<Item>(i));
    std::vector<int> seen;
    list.ForEach([&](const Ref<Object>& object) {
        seen.push_back(As<Item>(object)->Value);
        if (As<Item>(object)->Value % 2 == 0)
            list.Remove(object.get());
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 5}));
}

TEST(ObjectList, NestedWalksBothSurviveARemoval)
{
    ObjectList list;
    for (int i = 0; i < 3; ++i)
        list.Append(std::make_shared<Item>(i));
    std::vector<int> outer;
    list.ForEach([&](const Ref<Object>& object) {
        outer.push_back(As<Item>(object)->Value);
        if (As<Item>(object)->Value == 1) {
            std::vector<int> inner;
            list.ForEach([&](const Ref<Object>& nested) {
                inner.push_back(As<Item>(nested)->Value);
                if (As<Item>(nested)->Value == 0)
                    list.Remove(nested.get());
            });
            EXPECT_EQ(inner, (std::vector<int>{0, 1, 2}));
        }
    });
    EXPECT_EQ(outer, (std::vector<int>{0, 1, 2}));
}

TEST(ObjectList, ElementOutlivesItsRemovalWhileBeingVisited)
{
    ObjectList list;
    list.Append(std::make_shared<Item>(5));
    list.ForEach([&](const Ref<Object>& object) {
        list.Remove(object.get());
        EXPECT_EQ(As<Item>(object)->Value, 5);  // still alive: the walk holds it
    });
    EXPECT_EQ(list.Count(), 0);
}

TEST(ObjectList, ClassTestPassesOverOtherClasses)
{
    Ref<Object> plain = std::make_shared<Object>();
    Ref<Object> item = std::make_shared<Item>(1);
    EXPECT_EQ(As<Item>(plain), nullptr);
    EXPECT_NE(As<Item>(item), nullptr);
}

}  // namespace
}  // namespace kzm
