#pragma once
#include <string>

namespace brisk {

// A language file key taken apart: "Component.Property[.Index[.SubProperty]]".
struct LanguageKey {
    std::string component;
    std::string property;
    int index = -1;            // -1 when the key has none or it is not a decimal number
    std::string subProperty;

    bool operator==(const LanguageKey&) const = default;
};

// Splits at the first three dots; whatever follows the third stays in the subproperty.
LanguageKey SplitLanguageKey(const std::string& key);

// A value as stored ("~~" for a line break) and as shown.
std::string DecodeLanguageValue(const std::string& stored);
std::string EncodeLanguageValue(const std::string& shown);

// Names of components and properties compare without regard to ASCII case.
bool SameLanguageName(const std::string& a, const std::string& b);

} // namespace brisk
