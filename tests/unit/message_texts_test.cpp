// Texts the core builds from the main window's message lists, in English and in the German
// translation that comes with the program.
#include "fake_form.h"
#include "i18n/delete_question.h"
#include "i18n/language_file.h"

#include <gtest/gtest.h>

namespace brisk::test::message_texts_test {

// The main window's two lists read from the shipped German file.
MainMessages german()
{
    MainMessages msl;
    FakeForm window;
    window.cls = "T_Main";
    window.addMessages("msl", msl.msl);
    window.addMessages("mslExtra", msl.mslExtra);
    ApplyLanguageFile(window, BRISKLANE_HARNESS_DIR "/../../lang/deutsch.lan");
    return msl;
}

std::vector<DeleteItem> items(size_t files, size_t folders)
{
    std::vector<DeleteItem> out;
    for (size_t i = 0; i < files; ++i)
        out.push_back({"f" + std::to_string(i), false});
    for (size_t i = 0; i < folders; ++i)
        out.push_back({"d" + std::to_string(i), true});
    return out;
}

// Up to five items by name, more by their count, each count in its singular or plural.
TEST(DeleteQuestion, NamesFewItemsAndCountsManyInSingularOrPlural)
{
    const struct {
        size_t files, folders;
        const char* english;
        const char* german;
    } cases[] = {
        {1, 0, "\"f0\"", "\"f0\""},
        {0, 1, "\"d0/\"", "\"d0/\""},
        {2, 1, "\"f0\", \"f1\" and \"d0/\"", "\"f0\", \"f1\" und \"d0/\""},
        {1, 5, "1 file and 5 folders", "1 Datei und 5 Verzeichnisse"},
        {5, 1, "5 files and 1 folder", "5 Dateien und 1 Verzeichnis"},
        {2, 4, "2 files and 4 folders", "2 Dateien und 4 Verzeichnisse"},
        {6, 0, "6 files", "6 Dateien"},
        {0, 7, "7 folders", "7 Verzeichnisse"},
    };
    const MainMessages english;
    const MainMessages translated = german();
    for (const auto& c : cases) {
        EXPECT_EQ(DeleteQuestion(items(c.files, c.folders), english),
                  std::string("Do you wish to remove ") + c.english + "?");
        EXPECT_EQ(DeleteQuestion(items(c.files, c.folders), translated),
                  std::string("Wollen Sie wirklich löschen: ") + c.german + "?");
    }
}

TEST(DeleteQuestion, ControlCharactersInANameShowAsQuestionMarks)
{
    EXPECT_EQ(DeleteQuestion({{"a\nb\x7f", false}}, MainMessages()), "Do you wish to remove \"a?b?\"?");
}

} // namespace brisk::test::message_texts_test
