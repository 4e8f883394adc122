#pragma once
#include <string>
#include <vector>

namespace brisk {

// How a property holds its texts: one string; lines of a string list (a message list, a combo box's
// items); or items that each have string properties of their own (a list's columns).
enum class TextPropertyKind { String, Lines, Collection };

struct TextProperty {
    std::string component;
    std::string name;
    TextPropertyKind kind = TextPropertyKind::String;
    // A collection's item properties ("Caption").
    std::vector<std::string> itemProperties;
};

// One text of a window: index and item property only for lines and collections.
struct TextSlot {
    std::string component;
    std::string property;
    int index = -1;
    std::string itemProperty;
};

// A window as language files see it. The toolkit side names its components and their text
// properties; reading and writing them goes through slots.
class TranslatableForm {
public:
    virtual ~TranslatableForm() = default;
    // The window class and its parent class, whose upper-cased names are the sections looked up.
    virtual std::string className() const = 0;
    virtual std::string parentClassName() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    // Every text property of every named component, in the window's order.
    virtual std::vector<TextProperty> properties() const = 0;
    // The number of lines or items of a Lines or Collection property.
    virtual int count(const TextProperty& property) const = 0;
    virtual std::string text(const TextSlot& slot) const = 0;
    virtual void setText(const TextSlot& slot, const std::string& value) = 0;
};

} // namespace brisk
