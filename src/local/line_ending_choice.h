#pragma once
#include "local/line_endings.h"

#include <array>

namespace brisk {

// The "Carriage Return" dialog (T_Carrage) without its widgets: five choices with "Do not change"
// preselected; Apply answers the selected choice, Cancel (and closing the window) "Do not change".
class LineEndingChoice {
public:
    static constexpr const char* kCaption = "Carriage Return";
    static constexpr const char* kApply = "Apply";
    static constexpr const char* kCancel = "Cancel";
    struct Option {
        LineEnding value;
        const char* text;
    };
    // In button order; each button's tag is its value.
    static constexpr std::array<Option, 5> kOptions = {{{LineEnding::Unchanged, "Do not change"},
                                                        {LineEnding::CrLf, "CR + LF"},
                                                        {LineEnding::LfCr, "LF + CR"},
                                                        {LineEnding::Lf, "LF"},
                                                        {LineEnding::Cr, "CR"}}};

    LineEnding selected() const { return selected_; }
    void select(LineEnding value) { selected_ = value; }
    void apply() { result_ = selected_; }
    void cancel() { result_ = LineEnding::Unchanged; }
    LineEnding result() const { return result_; }

private:
    LineEnding selected_ = LineEnding::Unchanged;
    LineEnding result_ = LineEnding::Unchanged;
};

} // namespace brisk
