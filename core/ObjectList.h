// The ordered object list that records, engine and world map share.
#pragma once

#include <cstddef>
#include <vector>

#include "core/Object.h"

namespace kzm {

// An ordered list of shared references. A list may hold the same object more
// than once, and elements of any class.
//
// Walks are safe against removal: ForEach keeps its position registered in
// the list, so removing the element it has just delivered (or any earlier
// one) does not make it skip or repeat an element. Appending during a walk
// makes the walk deliver the new element too, as a linked list would.
class ObjectList : public Object {
public:
    void Append(Ref<Object> object) { Items.push_back(std::move(object)); }

    // Makes room for count more entries, so that appending them allocates
    // nothing: a reader that knows how many records follow lets the list
    // take exactly the memory they need. Changes nothing a walk can see.
    void Reserve(std::size_t count);

    // Count is constant time; the result is the number of entries, as a walk
    // would count them.
    int Count() const { return static_cast<int>(Items.size()); }

    // Removes the first entry that is this very object (identity, not equal
    // contents) and says whether there was one.
    bool Remove(const Object* object);

    template <class F>
    void ForEach(F&& visit)
    {
        Cursor cursor(*this);
        while (cursor.Next < Items.size()) {
            Ref<Object> object = Items[cursor.Next++];  // held while visited
            visit(object);
        }
    }

    // Read-only view for hot loops that do not change the list while walking.
    const std::vector<Ref<Object>>& Entries() const { return Items; }

private:
    struct Cursor {
        explicit Cursor(ObjectList& list);
        ~Cursor();
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        ObjectList& List;
        std::size_t Next = 0;
    };

    std::vector<Ref<Object>> Items;
    std::vector<Cursor*> Cursors;  // walks in progress, innermost last
};

}  // namespace kzm
