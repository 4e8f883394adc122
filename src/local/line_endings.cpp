#include "local/line_endings.h"

#include <stdexcept>

namespace brisk {

namespace {

bool isLineByte(char c)
{
    return c == '\r' || c == '\n';
}

// CR LF and LF CR are one line end; CR CR and LF LF are two.
bool formsPair(char first, char second)
{
    return isLineByte(second) && first != second;
}

} // namespace

std::string_view LineEndingBytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::CrLf: return "\r\n";
    case LineEnding::LfCr: return "\n\r";
    case LineEnding::Lf: return "\n";
    case LineEnding::Cr: return "\r";
    default: return {};
    }
}

LineEndingConverter::LineEndingConverter(LineEnding target) : target_(LineEndingBytes(target))
{
    if (target_.empty())
        throw std::invalid_argument("line endings: no target sequence");
}

void LineEndingConverter::convert(std::string_view block, std::string& out)
{
    size_t next = 0;
    if (held_ != 0 && !block.empty()) {
        const char pair[2] = {held_, block[0]};
        const bool paired = formsPair(held_, block[0]);
        lineEnd(std::string_view(pair, paired ? 2 : 1), out);
        held_ = 0;
        next = paired ? 1 : 0;
    }
    while (next < block.size()) {
        const size_t end = block.find_first_of("\r\n", next);
        if (end == std::string_view::npos) {
            out.append(block.substr(next));
            return;
        }
        out.append(block.substr(next, end - next));
        if (end + 1 == block.size()) {
            held_ = block[end];
            return;
        }
        const size_t length = formsPair(block[end], block[end + 1]) ? 2 : 1;
        lineEnd(block.substr(end, length), out);
        next = end + length;
    }
}

void LineEndingConverter::finish(std::string& out)
{
    if (held_ == 0)
        return;
    const char single = held_;
    held_ = 0;
    lineEnd(std::string_view(&single, 1), out);
}

void LineEndingConverter::lineEnd(std::string_view original, std::string& out)
{
    if (original != target_)
        changed_ = true;
    out.append(target_);
}

std::string ConvertLineEndingText(std::string_view text, LineEnding target)
{
    LineEndingConverter converter(target);
    std::string out;
    out.reserve(text.size());
    converter.convert(text, out);
    converter.finish(out);
    return out;
}

} // namespace brisk
