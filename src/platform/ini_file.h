#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace brisk {

// Raised when an INI file cannot be written; the text is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& path);
};

// An INI file held in memory: "[Section]" lines, then "key=value" lines. Sections and keys are
// found without regard to case; every value is a string. Lines the reader does not understand,
// and every section and key that is not written, are kept as they were.
class IniFile {
public:
    // Reads path; a missing or unreadable file reads as empty.
    explicit IniFile(std::string path);


    bool hasKey(const std::string& section, const std::string& key) const;
    bool hasSection(const std::string& section) const;
    // The section's key and value pairs in file order; none when there is no such section.
    std::vector<std::pair<std::string, std::string>> sectionEntries(const std::string& section) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // A value that is not a decimal 32-bit integer gives def.
    int32_t readInteger(const std::string& section, const std::string& key, int32_t def) const;
    // Any integer other than 0 is true; a value that is not an integer gives def.
    bool readBool(const std::string& section, const std::string& key, bool def) const;

    // Changes the value in place, or appends the key to its section (the section to the file).
    // Line breaks cannot be stored: a value is cut at its first one.
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int64_t value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    // Drops the section's lines, keeping its header, so that writes rebuild it from nothing.
    void clearSection(const std::string& section);

    // Writes the whole file (owner-only); throws IniWriteError when that fails.
    void save() const;

private:
    struct Line {
        std::string text;    // the line as read; written back unchanged unless modified
        std::string key;
        std::string value;
        bool isKey = false;
        bool modified = false;
    };
    struct Section {
        std::string name;
        std::string header;  // the header line as read, or "[name]"; empty before the first header
        std::vector<Line> lines;
    };

    void parse(const std::vector<std::string>& lines);
    const Line* find(const std::string& section, const std::string& key) const;
    Section* findSection(const std::string& section);
    Section& sectionFor(const std::string& section);

    std::string path_;
    std::vector<Section> sections_;
};

// Decimal with an optional sign, no other characters, within 32 bits.
bool parseInt32(const std::string& text, int32_t& value);

} // namespace brisk
