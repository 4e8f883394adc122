#include "i18n/language_file.h"

#include "i18n/language_key.h"
#include "platform/directories.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"

namespace brisk {
namespace {

const TextProperty* findProperty(const std::vector<TextProperty>& properties, const LanguageKey& key)
{
    for (const TextProperty& property : properties)
        if (SameLanguageName(property.component, key.component) && SameLanguageName(property.name, key.property))
            return &property;
    return nullptr;
}

bool hasItemProperty(const TextProperty& property, const std::string& name)
{
    for (const std::string& item : property.itemProperties)
        if (SameLanguageName(item, name))
            return true;
    return false;
}

void applyEntry(TranslatableForm& form, const std::vector<TextProperty>& properties, const std::string& rawKey,
                const std::string& value)
{
    const LanguageKey key = SplitLanguageKey(rawKey);
    if (SameLanguageName(rawKey, "Self.Caption")) {
        form.setCaption(value);
        return;
    }
    const TextProperty* property = findProperty(properties, key);
    if (!property)
        return;
    const bool indexed = key.index >= 0 && key.index < form.count(*property);
    switch (property->kind) {
    case TextPropertyKind::String: {
        const TextSlot slot{property->component, property->name, -1, {}};
        if (!form.text(slot).empty())
            form.setText(slot, value);
        break;
    }
    case TextPropertyKind::Lines:
        if (indexed)
            form.setText({property->component, property->name, key.index, {}}, value);
        break;
    case TextPropertyKind::Collection:
        if (indexed && hasItemProperty(*property, key.subProperty))
            form.setText({property->component, property->name, key.index, key.subProperty}, value);
        break;
    }
}

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string joinKey(const TextProperty& property, int index, const std::string& item = {})
{
    std::string key = property.component + "." + property.name;
    if (index >= 0)
        key += "." + std::to_string(index);
    return item.empty() ? key : key + "." + item;
}

bool templateString(const TextProperty& property)
{
    return SameLanguageName(property.name, "Hint") || SameLanguageName(property.name, "Text") ||
           SameLanguageName(property.name, "Caption");
}

void writeProperty(IniFile& ini, const std::string& section, const TranslatableForm& form,
                   const TextProperty& property)
{
    const int count = property.kind == TextPropertyKind::String ? 0 : form.count(property);
    switch (property.kind) {
    case TextPropertyKind::String: {
        const std::string value = form.text({property.component, property.name, -1, {}});
        // A menu separator's caption is "-"; it is no text to translate.
        if (templateString(property) && !value.empty() && value != "-")
            ini.writeString(section, joinKey(property, -1), EncodeLanguageValue(value));
        break;
    }
    case TextPropertyKind::Lines:
        for (int i = 0; i < count; ++i) {
            const std::string line = form.text({property.component, property.name, i, {}});
            if (!line.empty())
                ini.writeString(section, joinKey(property, i), EncodeLanguageValue(line));
        }
        break;
    case TextPropertyKind::Collection:
        for (int i = 0; i < count; ++i)
            for (const std::string& item : property.itemProperties)
                ini.writeString(section, joinKey(property, i, item),
                                EncodeLanguageValue(form.text({property.component, property.name, i, item})));
        break;
    }
}

} // namespace

std::string LanguageSection(const std::string& className)
{
    return upperAscii(className);
}

void ApplyLanguageFile(TranslatableForm& form, const std::string& path)
{
    if (!fileExists(path)) {
        writePrivateFile(path, "");
        return;
    }
    const IniFile ini(path);
    std::string section = LanguageSection(form.className());
    if (!ini.hasSection(section))
        section = LanguageSection(form.parentClassName());
    const std::vector<TextProperty> properties = form.properties();
    for (const auto& [key, value] : ini.sectionEntries(section))
        applyEntry(form, properties, key, DecodeLanguageValue(value));
}

bool WriteLanguageTemplate(const TranslatableForm& form, const std::string& path)
{
    IniFile ini(path);
    const std::string section = LanguageSection(form.className());
    ini.clearSection(section);
    ini.writeString(section, "Self.Caption", EncodeLanguageValue(form.caption()));
    for (const TextProperty& property : form.properties())
        writeProperty(ini, section, form, property);
    try {
        ini.save();
        return true;
    } catch (const IniWriteError&) {
        return false;
    }
}

} // namespace brisk
