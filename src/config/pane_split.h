#pragma once

namespace brisk {

// The room of a two-pane splitter shared between its panes, in pixels.
struct PaneSplit {
    int first = 0;
    int second = 0;

    bool operator==(const PaneSplit&) const = default;
};

// `first` pixels for the first pane and the rest for the second, so that each keeps at least
// `minimum` (half the room each when the room is smaller than that).
PaneSplit SplitFixed(int room, int first, int minimum);

// The room in the proportion first : second, each keeping at least `minimum` as above; an even
// split when the two give no proportion.
PaneSplit SplitProportional(int room, int first, int second, int minimum);

} // namespace brisk
