#pragma once
#include "mirror/mirror_record.h"

#include <vector>

namespace brisk {

// The ordered operation list of a mirror run, records held by value.
class MirrorOperationList {
public:
    int Count() const { return int(items_.size()); }
    void Add(const TMirrorRec& rec);
    // An index outside the list appends.
    void Insert(int index, const TMirrorRec& rec);
    // Outside the list nothing happens; GetItem then returns false.
    bool GetItem(int index, TMirrorRec& rec) const;
    void PutItem(int index, const TMirrorRec& rec);
    // A directory's plan: appended, or inserted one after another from `index` on.
    void Place(const std::vector<TMirrorRec>& plan, bool append, int index);
    const std::vector<TMirrorRec>& items() const { return items_; }

private:
    bool inside(int index) const { return index >= 0 && index < Count(); }
    std::vector<TMirrorRec> items_;
};

} // namespace brisk
