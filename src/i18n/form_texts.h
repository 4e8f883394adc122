#pragma once
#include "i18n/translatable_form.h"

#include <string>
#include <utility>
#include <vector>

namespace brisk {

// Every text of a window's components, to put back later.
using FormTexts = std::vector<std::pair<TextSlot, std::string>>;

FormTexts CaptureFormTexts(const TranslatableForm& form);
void RestoreFormTexts(TranslatableForm& form, const FormTexts& texts);

} // namespace brisk
