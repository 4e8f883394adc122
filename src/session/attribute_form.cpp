#include "session/attribute_form.h"

#include "session/file_mode.h"

namespace brisk {

namespace {

std::string modeDigits(int mode)
{
    std::string text = std::to_string(mode);
    return std::string(text.size() < AttributeForm::kModeDigits ? AttributeForm::kModeDigits - text.size() : 0, '0') +
           text;
}

BoxState stateOf(bool on)
{
    return on ? BoxState::Checked : BoxState::Unchecked;
}

} // namespace

AttributeForm::AttributeForm(std::vector<AttributeEntry> entries) : entries_(std::move(entries))
{
    const int first = entries_.empty() ? 0 : entries_.front().mode;
    for (int bit = 0; bit < kModeBitCount; ++bit) {
        boxes_[size_t(bit)] = stateOf(ModeBit(first, bit));
        for (const AttributeEntry& entry : entries_)
            if (ModeBit(entry.mode, bit) != ModeBit(first, bit))
                boxes_[size_t(bit)] = BoxState::Mixed;
    }
    modeText_ = modeDigits(first);
}

std::string AttributeForm::symbolicText() const
{
    std::string text;
    for (int bit = 0; bit < kModeBitCount; ++bit)
        text += box(bit) == BoxState::Mixed ? '?' : box(bit) == BoxState::Checked ? "rwx"[bit % 3] : '-';
    return text;
}

void AttributeForm::clickBox(int bit)
{
    if (bit < 0 || bit >= kModeBitCount)
        return;
    boxes_[size_t(bit)] = stateOf(box(bit) != BoxState::Checked);
    modeText_ = modeDigits(checkedMode());
}

bool AttributeForm::editModeText(const std::string& text)
{
    if (text.size() > kModeDigits || text.find_first_not_of(kModeCharacters) != std::string::npos)
        return false;
    modeText_ = text;
    if (text.empty())
        return true;
    const int mode = std::stoi(text);
    for (int bit = 0; bit < kModeBitCount; ++bit)
        boxes_[size_t(bit)] = stateOf(ModeBit(mode, bit));
    return true;
}

bool AttributeForm::apply()
{
    changes_.clear();
    if (modeText_.empty())
        return false;
    for (const AttributeEntry& entry : entries_)
        if (const int mode = modeFor(entry); mode != entry.mode)
            changes_.push_back({entry.name, mode});
    return !changes_.empty();
}

int AttributeForm::checkedMode() const
{
    int mode = 0;
    for (int bit = 0; bit < kModeBitCount; ++bit)
        mode = WithModeBit(mode, bit, box(bit) == BoxState::Checked);
    return mode;
}

int AttributeForm::modeFor(const AttributeEntry& entry) const
{
    int mode = entry.mode;
    for (int bit = 0; bit < kModeBitCount; ++bit)
        if (box(bit) != BoxState::Mixed)
            mode = WithModeBit(mode, bit, box(bit) == BoxState::Checked);
    return mode;
}

} // namespace brisk
