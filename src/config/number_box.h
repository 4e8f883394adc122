#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// A box for a whole number within a range. A stored value outside the range reads back as the
// nearer end; typed text that is no number, or a number outside the range, reads back as the last
// valid value.
class NumberBox {
public:
    constexpr NumberBox(int32_t min, int32_t max) : min_(min), max_(max), last_(min) {}

    // A value from the options file.
    void load(int32_t stored);
    // What the user typed.
    void setText(std::string text);
    const std::string& text() const { return text_; }
    int32_t value() const { return last_; }
    int32_t min() const { return min_; }
    int32_t max() const { return max_; }

private:
    int32_t min_;
    int32_t max_;
    int32_t last_;
    std::string text_;
};

} // namespace brisk
