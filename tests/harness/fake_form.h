#pragma once
#include "i18n/main_messages.h"
#include "i18n/translatable_form.h"

#include <map>
#include <string>
#include <vector>

namespace brisk::test {

// A window made of plain data: strings, string lists (message lists among them) and lists of
// column captions, each under "component.property".
class FakeForm : public TranslatableForm {
public:
    std::string cls = "T_Test";
    std::string parent = "TForm";
    std::string title = "Test window";
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<std::string>*> lines;
    std::map<std::string, std::vector<std::string>> columns;

    void addMessages(const std::string& name, MessageList& list) { lines[name + ".Items"] = &list.items(); }

    std::string className() const override { return cls; }
    std::string parentClassName() const override { return parent; }
    std::string caption() const override { return title; }
    void setCaption(const std::string& text) override { title = text; }
    std::vector<TextProperty> properties() const override
    {
        std::vector<TextProperty> out;
        for (const auto& [key, value] : strings)
            out.push_back(property(key, TextPropertyKind::String));
        for (const auto& [key, value] : lines)
            out.push_back(property(key, TextPropertyKind::Lines));
        for (const auto& [key, value] : columns)
            out.push_back(property(key, TextPropertyKind::Collection));
        return out;
    }
    int count(const TextProperty& p) const override
    {
        const std::string key = p.component + "." + p.name;
        return int(p.kind == TextPropertyKind::Lines ? lines.at(key)->size() : columns.at(key).size());
    }
    std::string text(const TextSlot& s) const override { return const_cast<FakeForm&>(*this).slot(s); }
    void setText(const TextSlot& s, const std::string& value) override { slot(s) = value; }

private:
    static TextProperty property(const std::string& key, TextPropertyKind kind)
    {
        const size_t dot = key.find('.');
        return {key.substr(0, dot), key.substr(dot + 1), kind,
                kind == TextPropertyKind::Collection ? std::vector<std::string>{"Caption"} : std::vector<std::string>{}};
    }
    // Reading goes through here as well; nothing is changed by a lookup.
    std::string& slot(const TextSlot& s)
    {
        const std::string key = s.component + "." + s.property;
        if (strings.count(key))
            return strings.at(key);
        if (lines.count(key))
            return lines.at(key)->at(size_t(s.index));
        return columns.at(key).at(size_t(s.index));
    }
};

} // namespace brisk::test
