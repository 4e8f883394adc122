#include "i18n/form_texts.h"

namespace brisk {

FormTexts CaptureFormTexts(const TranslatableForm& form)
{
    FormTexts texts;
    for (const TextProperty& property : form.properties()) {
        if (property.kind == TextPropertyKind::String) {
            const TextSlot slot{property.component, property.name, -1, {}};
            if (const std::string text = form.text(slot); !text.empty())
                texts.emplace_back(slot, text);
            continue;
        }
        const std::vector<std::string> items =
            property.kind == TextPropertyKind::Lines ? std::vector<std::string>{{}} : property.itemProperties;
        for (int i = 0; i < form.count(property); ++i)
            for (const std::string& item : items) {
                const TextSlot slot{property.component, property.name, i, item};
                texts.emplace_back(slot, form.text(slot));
            }
    }
    return texts;
}

void RestoreFormTexts(TranslatableForm& form, const FormTexts& texts)
{
    for (const auto& [slot, text] : texts)
        form.setText(slot, text);
}

} // namespace brisk
