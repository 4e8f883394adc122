#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace brisk {

// What a server says it offers in its FEAT reply: the feature names, upper case. A server that
// refuses FEAT offers nothing beyond the basic commands.
class FtpFeatures {
public:
    // The lines between the first and the final line of a 211 reply. Only lines of the form
    // " NAME[ params]" count; anything else, and names that are no plain words, are ignored.
    static FtpFeatures Parse(const std::vector<std::string>& bodyLines);

    bool has(std::string_view name) const;
    // The text after the name on its line ("type*;size*;modify*;" for MLST); empty when none.
    std::string params(std::string_view name) const;
    bool empty() const { return names_.empty(); }
    const std::vector<std::string>& names() const { return names_; }

    static constexpr size_t kMaxNames = 64;
    static constexpr size_t kMaxNameLength = 32;

private:
    std::vector<std::string> names_;
    std::vector<std::string> params_;
};

} // namespace brisk
