#pragma once

namespace brisk {

class MirrorForm;

// The mirror dialog ("Compare folders"), which the GUI shows and tests script.
class MirrorEditor {
public:
    virtual ~MirrorEditor() = default;
    // The dialog on `form`; true when the user left it with "Execute".
    virtual bool EditMirror(MirrorForm& form) = 0;
};

} // namespace brisk
