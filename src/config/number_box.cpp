#include "config/number_box.h"

#include <algorithm>
#include <charconv>

namespace brisk {

void NumberBox::load(int32_t stored)
{
    text_ = std::to_string(stored);
    last_ = std::clamp(stored, min_, max_);
}

void NumberBox::setText(std::string text)
{
    text_ = std::move(text);
    const size_t begin = text_.find_first_not_of(' ');
    const size_t end = text_.find_last_not_of(' ');
    if (begin == std::string::npos)
        return;
    const char* first = text_.data() + begin;
    const char* last = text_.data() + end + 1;
    int32_t number = 0;
    const auto [stop, error] = std::from_chars(first, last, number);
    if (error == std::errc() && stop == last && number >= min_ && number <= max_)
        last_ = number;
}

} // namespace brisk
