#pragma once
#include <string>
#include <string_view>

namespace brisk {

// The "Carriage Return" choices; each value is the tag of the dialog's button.
enum class LineEnding : int { Unchanged = 0, CrLf = 1, LfCr = 2, Lf = 3, Cr = 4 };

// The bytes every line end becomes; empty for Unchanged.
std::string_view LineEndingBytes(LineEnding ending);

// Rewrites line ends block by block. A line end is CR LF, LF CR, a lone CR or a lone LF, pairs
// taken first from left to right; each becomes the target's bytes. A CR or LF that ends a block
// waits for the next one, so a pair split between two blocks still counts once.
class LineEndingConverter {
public:
    // Throws std::invalid_argument for Unchanged, which has no bytes to write.
    explicit LineEndingConverter(LineEnding target);

    // Appends the converted bytes of `block` to `out`.
    void convert(std::string_view block, std::string& out);
    // Writes the line end still held back after the last block.
    void finish(std::string& out);
    // Whether any line end came out other than it went in.
    bool changed() const { return changed_; }

private:
    void lineEnd(std::string_view original, std::string& out);

    std::string_view target_;
    char held_ = 0;
    bool changed_ = false;
};

// A whole text converted in one go.
std::string ConvertLineEndingText(std::string_view text, LineEnding target);

} // namespace brisk
