#include "session/attribute_form.h"
#include "session/file_mode.h"

#include <gtest/gtest.h>

namespace brisk::attribute_form_test {

using B = BoxState;
constexpr B U = B::Unchecked, C = B::Checked, M = B::Mixed;

std::vector<B> boxes(const AttributeForm& form)
{
    std::vector<B> out;
    for (int bit = 0; bit < kModeBitCount; ++bit)
        out.push_back(form.box(bit));
    return out;
}

std::string changes(const AttributeForm& form)
{
    std::string out;
    for (const ChmodItem& item : form.changes())
        out += item.name + "=" + std::to_string(item.mode) + " ";
    return out;
}

TEST(ModeFromAttributes, ReadsOwnerGroupPublicFromTheColumn)
{
    const std::pair<const char*, int> cases[] = {
        {"-rw-r--r--", 644}, {"drwxr-xr-x", 755}, {"-rwx------", 700}, {"-RW-R--R--", 644},
        {"-rw-r--r--+", 644}, {"-rwsr-xr-x", 755}, {"-rwSr--r--", 644}, {"drwxrwxrwt", 777},
        {"drwxrwxrwT", 776}, {"-rw", 600}, {"", 0}, {"<DIR>", 0},
    };
    for (const auto& [attributes, mode] : cases)
        EXPECT_EQ(ModeFromAttributes(attributes), mode) << attributes;
}

// Two files of 644 and 755: the edit shows the first, the execute boxes are mixed.
TEST(AttributeForm, OpensWithTheFirstModeAndMixedBitsThatDiffer)
{
    const AttributeForm form({{"a.txt", 644}, {"run.sh", 755}});
    EXPECT_EQ(form.modeText(), "644");
    EXPECT_EQ(boxes(form), (std::vector<B>{C, C, M, C, U, M, C, U, M}));
    EXPECT_EQ(form.symbolicText(), "rw?r-?r-?");

    const AttributeForm one({{"x", 40}});
    EXPECT_EQ(one.modeText(), "040");
    EXPECT_EQ(boxes(one), (std::vector<B>{U, U, U, C, U, U, U, U, U}));
}

// The edit shows the checked boxes only; a clicked mixed box becomes checked and never mixed again.
TEST(AttributeForm, ClickingABoxSetsTheEditFromCheckedBoxes)
{
    AttributeForm form({{"a.txt", 644}, {"run.sh", 755}});
    const auto clicked = [&](int bit) {
        form.clickBox(bit);
        return form.modeText() + " " + form.symbolicText();
    };
    EXPECT_EQ(clicked(4), "664 rw?rw?r-?");
    EXPECT_EQ(clicked(2), "764 rwxrw?r-?");
    EXPECT_EQ(clicked(2), "664 rw-rw?r-?");
    EXPECT_EQ(clicked(2), "764 rwxrw?r-?");
}

TEST(AttributeForm, EditTakesUpToThreeDigitsZeroToSeven)
{
    AttributeForm form({{"a.txt", 644}, {"run.sh", 755}});
    for (const char* refused : {"648", "9", "64 ", "-1", "abc", "7777", "6448"}) {
        EXPECT_FALSE(form.editModeText(refused)) << refused;
        EXPECT_EQ(form.modeText(), "644");
        EXPECT_EQ(form.box(2), M);
    }
    EXPECT_TRUE(form.editModeText("751"));
    EXPECT_EQ(boxes(form), (std::vector<B>{C, C, C, C, U, C, U, U, C}));
    EXPECT_TRUE(form.editModeText("6"));
    EXPECT_EQ(form.symbolicText(), "------rw-");
}

TEST(AttributeForm, ApplyChangesOnlyTheEntriesThatDiffer)
{
    AttributeForm form({{"a.txt", 644}, {"b.txt", 755}, {"c.txt", 600}});
    ASSERT_TRUE(form.editModeText("644"));
    EXPECT_TRUE(form.apply());
    EXPECT_EQ(changes(form), "b.txt=644 c.txt=644 ");

    ASSERT_TRUE(form.editModeText(""));
    EXPECT_FALSE(form.apply());
    EXPECT_TRUE(form.changes().empty());
}

// A mixed box leaves each entry's bit alone: Apply on an untouched dialog changes nothing, and a
// click on another box changes only that bit.
TEST(AttributeForm, MixedBitsKeepEachEntrysOwnBit)
{
    AttributeForm form({{"a.txt", 644}, {"run.sh", 755}});
    EXPECT_FALSE(form.apply());
    form.clickBox(4);
    EXPECT_TRUE(form.apply());
    EXPECT_EQ(changes(form), "a.txt=664 run.sh=775 ");
}

} // namespace brisk::attribute_form_test
