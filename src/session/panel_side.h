#pragma once

namespace brisk {

enum class PanelSide { Local, Remote };

// The panel the window's generic commands (Make directory, Rename, Delete, Refresh, View, the
// selection commands) act on: the last one whose list or path box had the focus, the remote one at
// start.
class CurrentPanel {
public:
    PanelSide side() const { return side_; }
    bool isLocal() const { return side_ == PanelSide::Local; }
    void focused(PanelSide side) { side_ = side; }

private:
    PanelSide side_ = PanelSide::Remote;
};

} // namespace brisk
