#pragma once
#include "mirror/mirror_record.h"

#include <cstdint>
#include <vector>

namespace brisk {

// The ordered operation list of a mirror run, records held by value. A run inserts each entered
// directory's plan at the record it works on, and that record only moves forward, so the list keeps
// a gap there: inserting at or near it costs no shifting of the rest. The list also remembers how
// far from the top every record is settled (neither waiting nor under way), so that the search for
// the next one never walks the settled part again. Both keep a run's bookkeeping linear in its
// number of operations; work() counts the record moves and visits that show it.
class MirrorOperationList {
public:
    int Count() const { return int(buffer_.size() - gapSize()); }
    void Add(const TMirrorRec& rec) { Insert(Count(), rec); }
    // An index outside the list appends.
    void Insert(int index, const TMirrorRec& rec);
    // Outside the list nothing happens; GetItem then returns false.
    bool GetItem(int index, TMirrorRec& rec) const;
    void PutItem(int index, const TMirrorRec& rec);
    // The record at `index`, which must be inside the list.
    const TMirrorRec& at(int index) const { return buffer_[physical(index)]; }
    void setState(int index, TMirrorState state);
    // A directory's plan: appended, or inserted one after another from `index` on.
    void Place(const std::vector<TMirrorRec>& plan, bool append, int index);
    // Every record in order.
    std::vector<TMirrorRec> items() const;

    // Records before this index are all settled ("smDone", "smError", ...).
    int settledPrefix() const { return settled_; }
    void settleTo(int index) { settled_ = index; }
    // Record moves and visits so far.
    uint64_t work() const { return work_; }
    void countVisit() const { ++work_; }

private:
    bool inside(int index) const { return index >= 0 && index < Count(); }
    size_t gapSize() const { return gapEnd_ - gapStart_; }
    size_t physical(int index) const { return size_t(index) < gapStart_ ? size_t(index) : size_t(index) + gapSize(); }
    void moveGapTo(size_t index);
    void unsettle(int index);

    std::vector<TMirrorRec> buffer_;   // the records, with the unused slots [gapStart_, gapEnd_) among them
    size_t gapStart_ = 0;
    size_t gapEnd_ = 0;
    int settled_ = 0;
    mutable uint64_t work_ = 0;
};

} // namespace brisk
