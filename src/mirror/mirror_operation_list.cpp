#include "mirror/mirror_operation_list.h"

#include <algorithm>
#include <utility>

namespace brisk {

namespace {

bool open(TMirrorState state)
{
    return state == smNone || state == smProgress;
}

} // namespace

void MirrorOperationList::moveGapTo(size_t index)
{
    if (gapStart_ == gapEnd_) {
        // No gap: every record is where its index says, and moving one onto itself would empty its names.
        gapStart_ = gapEnd_ = index;
        return;
    }
    while (gapStart_ > index) {
        buffer_[--gapEnd_] = std::move(buffer_[--gapStart_]);
        ++work_;
    }
    while (gapStart_ < index) {
        buffer_[gapStart_++] = std::move(buffer_[gapEnd_++]);
        ++work_;
    }
}

void MirrorOperationList::Insert(int index, const TMirrorRec& rec)
{
    const size_t at = inside(index) ? size_t(index) : size_t(Count());
    if (gapSize() == 0) {
        // A new gap as large as the list, at the end, so that growing stays amortised constant.
        const size_t count = buffer_.size();
        moveGapTo(count);
        buffer_.resize(std::max<size_t>(16, count * 2));
        gapStart_ = count;
        gapEnd_ = buffer_.size();
    }
    moveGapTo(at);
    buffer_[gapStart_++] = rec;
    ++work_;
    if (open(rec.State))
        unsettle(int(at));
    else if (int(at) < settled_)
        ++settled_;
}

bool MirrorOperationList::GetItem(int index, TMirrorRec& rec) const
{
    if (!inside(index))
        return false;
    rec = at(index);
    return true;
}

void MirrorOperationList::PutItem(int index, const TMirrorRec& rec)
{
    if (!inside(index))
        return;
    buffer_[physical(index)] = rec;
    if (open(rec.State))
        unsettle(index);
}

void MirrorOperationList::setState(int index, TMirrorState state)
{
    if (!inside(index))
        return;
    buffer_[physical(index)].State = state;
    if (open(state))
        unsettle(index);
}

void MirrorOperationList::unsettle(int index)
{
    settled_ = std::min(settled_, index);
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

std::vector<TMirrorRec> MirrorOperationList::items() const
{
    std::vector<TMirrorRec> out;
    out.reserve(size_t(Count()));
    for (int i = 0; i < Count(); ++i)
        out.push_back(at(i));
    return out;
}

} // namespace brisk
