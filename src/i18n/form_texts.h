#pragma once
#include "i18n/translatable_form.h"

#include <string>
#include <utility>
#include <vector>

namespace brisk {

// The texts of a window's components, to put back later. An empty string is not a text to
// translate (an edit the user fills in), so it is left out.
using FormTexts = std::vector<std::pair<TextSlot, std::string>>;

FormTexts CaptureFormTexts(const TranslatableForm& form);
void RestoreFormTexts(TranslatableForm& form, const FormTexts& texts);

} // namespace brisk
