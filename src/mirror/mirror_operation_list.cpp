#include "mirror/mirror_operation_list.h"

namespace brisk {

void MirrorOperationList::Add(const TMirrorRec& rec)
{
    items_.push_back(rec);
}

void MirrorOperationList::Insert(int index, const TMirrorRec& rec)
{
    if (inside(index))
        items_.insert(items_.begin() + index, rec);
    else
        Add(rec);
}

bool MirrorOperationList::GetItem(int index, TMirrorRec& rec) const
{
    if (!inside(index))
        return false;
    rec = items_[size_t(index)];
    return true;
}

void MirrorOperationList::PutItem(int index, const TMirrorRec& rec)
{
    if (inside(index))
        items_[size_t(index)] = rec;
}

void MirrorOperationList::Place(const std::vector<TMirrorRec>& plan, bool append, int index)
{
    for (const TMirrorRec& rec : plan) {
        if (append)
            Add(rec);
        else
            Insert(index++, rec);
    }
}

} // namespace brisk
