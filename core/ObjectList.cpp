#include "core/ObjectList.h"

#include <algorithm>

namespace kzm {

ObjectList::Cursor::Cursor(ObjectList& list) : List(list)
{
    List.Cursors.push_back(this);
}

ObjectList::Cursor::~Cursor()
{
    auto& cursors = List.Cursors;
    cursors.erase(std::find(cursors.begin(), cursors.end(), this));
}

void ObjectList::Reserve(std::size_t count)
{
    const std::size_t needed = Items.size() + count;
    if (needed <= Items.capacity())
        return;
    // Exactly what is asked the first time; growing again, at least half as
    // much again, so that many small reservations still cost linear time.
    Items.reserve(std::max(needed, Items.capacity() + Items.capacity() / 2));
}

bool ObjectList::Remove(const Object* object)
{
    auto found =
        std::find_if(Items.begin(), Items.end(), [object](const Ref<Object>& item) { return item.get() == object; });
    if (found == Items.end())
        return false;
    const auto index = static_cast<std::size_t>(found - Items.begin());
    Items.erase(found);
    // Entries behind the removed one moved up by one: so do the walks past it.
    for (Cursor* cursor : Cursors)
        if (cursor->Next > index)
            --cursor->Next;
    return true;
}

}  // namespace kzm
