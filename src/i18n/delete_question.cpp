#include "i18n/delete_question.h"

namespace brisk {

namespace {

constexpr size_t kNamedItems = 5;

std::string quoted(const DeleteItem& item)
{
    std::string name = item.name;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return "\"" + name + (item.directory ? "/\"" : "\"");
}

// "1 file", "2 files"; "1 folder", "5 folders".
std::string countText(size_t count, const MainMessages& msl, MainExtraMessage one, MainExtraMessage many)
{
    return count == 1 ? msl[one] : FormatMessage(msl[many], {std::to_string(count)});
}

std::string files(size_t count, const MainMessages& msl)
{
    return countText(count, msl, xmsgOneFile, xmsgFileCount);
}

std::string folders(size_t count, const MainMessages& msl)
{
    return countText(count, msl, xmsgOneFolder, xmsgFolderCount);
}

std::string counted(const std::vector<DeleteItem>& items, const MainMessages& msl)
{
    size_t dirs = 0;
    for (const DeleteItem& item : items)
        dirs += item.directory;
    const size_t plain = items.size() - dirs;
    if (dirs == 0)
        return files(plain, msl);
    if (plain == 0)
        return folders(dirs, msl);
    return files(plain, msl) + " " + msl[msgAnd] + " " + folders(dirs, msl);
}

std::string named(const std::vector<DeleteItem>& items, const MainMessages& msl)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " " + msl[msgAnd] + " " : ", ") + quoted(items[i]);
    return text;
}

} // namespace

std::string DeleteQuestion(const std::vector<DeleteItem>& items, const MainMessages& msl)
{
    return msl[msgWishToRemove] + " " + (items.size() > kNamedItems ? counted(items, msl) : named(items, msl)) + "?";
}

} // namespace brisk
