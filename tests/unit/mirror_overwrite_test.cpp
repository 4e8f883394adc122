#include "mirror/mirror_overwrite.h"
#include "scripted_user_interface.h"

#include <gtest/gtest.h>

#include <set>

namespace brisk {
namespace {

class MirrorOverwriteTest : public testing::Test {
protected:
    MirrorOverwriteTest()
    {
        run.Items.Add({"a.txt", "a.txt", 3, 5, omGet, smNone});
        run.Items.Add({"b.txt", "b.txt", 3, 5, omPut, smNone});
    }

    bool check(int index, bool prompting = true, int defPrompt = 1)
    {
        MirrorOverwriteContext context{overwriteAll, resumeThis, prompting, defPrompt,
                                       [this](const TMirrorRec& rec) { return exists(rec); }, ui};
        return CheckMirrorOverwrite(run, index, context);
    }

    bool exists(const TMirrorRec& rec) const
    {
        return existing.count(rec.Operation == omGet ? "local:" + rec.LocalName : "remote:" + rec.RemoteName) > 0;
    }

    TMirrorRec item(int index) const { return run.Items.items()[size_t(index)]; }

    TMirrorRun run{"h", "/l", "/r"};
    std::set<std::string> existing{"local:a.txt", "remote:b.txt"};
    bool overwriteAll = false;
    bool resumeThis = true;
    test::ScriptedUserInterface ui;
};

TEST_F(MirrorOverwriteTest, AMissingTargetGoesWithoutAQuestion)
{
    existing.clear();
    EXPECT_TRUE(check(0));
    EXPECT_TRUE(check(1));
    EXPECT_FALSE(resumeThis);
    EXPECT_TRUE(ui.overwriteAsked.empty());
}

TEST_F(MirrorOverwriteTest, AnswersOfTheQuestion)
{
    ui.answerOverwrite(OverwriteChoice::Resume);
    EXPECT_TRUE(check(0));
    EXPECT_TRUE(resumeThis);
    ui.answerOverwrite(OverwriteChoice::Overwrite);
    EXPECT_TRUE(check(1));
    EXPECT_FALSE(resumeThis);
    ui.answerOverwrite(OverwriteChoice::Skip);
    EXPECT_FALSE(check(0));
    EXPECT_EQ(item(0).State, smDone);
    EXPECT_FALSE(run.Stopped);
    EXPECT_EQ(ui.overwriteAsked, (std::vector<std::string>{"a.txt", "b.txt", "a.txt"}));
    ui.answerOverwrite(OverwriteChoice::All);
    EXPECT_TRUE(check(1));
    EXPECT_TRUE(check(1));
    EXPECT_EQ(ui.overwriteAsked.size(), 4u);
}

TEST_F(MirrorOverwriteTest, SaveAsRenamesTheTargetAndAsksAgainWhileItExists)
{
    existing.insert("remote:c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "d.txt");
    EXPECT_TRUE(check(1));
    EXPECT_EQ(item(1), (TMirrorRec{"b.txt", "d.txt", 3, 5, omPut, smNone}));
    EXPECT_EQ(ui.overwriteAsked, (std::vector<std::string>{"b.txt", "c.txt"}));
}

TEST_F(MirrorOverwriteTest, CancelStopsTheRun)
{
    ui.answerOverwrite(OverwriteChoice::Cancel);
    EXPECT_FALSE(check(0));
    EXPECT_TRUE(run.Stopped);
    EXPECT_EQ(item(0).State, smNone);
}

TEST_F(MirrorOverwriteTest, WithoutPromptingTheDefaultDecides)
{
    EXPECT_TRUE(check(0, false, 2));
    EXPECT_TRUE(resumeThis);
    EXPECT_TRUE(check(0, false, 1));
    EXPECT_FALSE(resumeThis);
    EXPECT_FALSE(check(0, false, 0));
    EXPECT_EQ(item(0).State, smDone);
    EXPECT_TRUE(ui.overwriteAsked.empty());
}

} // namespace
} // namespace brisk
