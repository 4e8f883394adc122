#include "scripted_user_interface.h"
#include "session/site_list_controller.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

// The controller over a fresh site list holding the folder "Work" and the site "Main", shown
// unless a test says a session has the panel.
class SiteListControllerTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        sites = std::make_unique<SiteListController>(ui, msl, options, [this] { return shown; },
                                                     [this] { ++selectionChanges; });
        SiteList& list = sites->siteList;
        list.LoadSiteList("");
        size_t index = 0;
        ASSERT_TRUE(list.makeFolder("Work", index).ok());
        ASSERT_TRUE(list.addSite(site("Main"), index).ok());
    }

    static TFTPServerInfo site(const std::string& name)
    {
        TFTPServerInfo s;
        s.Name = name;
        s.Server = name + ".example.org";
        return s;
    }
    Strings captions() const
    {
        Strings all;
        for (const SiteEntry& entry : sites->siteList.entries())
            all.push_back(entry.caption);
        return all;
    }
    int row(const std::string& caption) const
    {
        const auto& entries = sites->siteList.entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].caption == caption)
                return int(i);
        ADD_FAILURE() << "no entry " << caption;
        return -1;
    }
    // The captions stored in the root folder's file.
    static Strings stored()
    {
        SiteList reloaded{SiteDefaults{}};
        reloaded.LoadSiteList("");
        Strings all;
        for (const SiteEntry& entry : reloaded.entries())
            all.push_back(entry.caption);
        return all;
    }

    ScriptedUserInterface ui;
    MainMessages msl;
    TFTPOptions options;
    bool shown = true;
    int selectionChanges = 0;
    std::unique_ptr<SiteListController> sites;
};

// While a session has the panel the list's commands neither ask nor change anything; Save As Site
// stores the site but leaves the selection, which would reset the session's actions.
TEST_F(SiteListControllerTest, WhileASessionHasThePanelTheEntriesAreLeftAlone)
{
    sites->selectSite(row("Work"));
    shown = false;
    int dialogs = 0;
    ui.siteEditor = [&dialogs](SiteProperties&) {
        ++dialogs;
        return false;
    };
    sites->RenameSiteFolder();
    sites->DeleteSiteEntries({size_t(row("Main"))});
    sites->MoveSiteIntoFolder(size_t(row("Main")), size_t(row("Work")));
    sites->OpenSiteListFolder(size_t(row("Work")));
    sites->EditSiteProperties();
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(captions(), (Strings{"Work", "Main"}));
    EXPECT_EQ(sites->siteList.CurrentSiteFolder(), "");

    ui.answerPrompt("Quick");
    sites->SaveSiteAs(site("quick"));
    EXPECT_EQ(stored(), (Strings{"Work", "Main", "Quick"}));
    EXPECT_EQ(sites->siteSelection(), row("Work"));
    EXPECT_EQ(selectionChanges, 1);
}

TEST_F(SiteListControllerTest, MakeFolderSelectsTheNewFolderOrSaysWhyNot)
{
    sites->MakeFolder("Zeta");
    EXPECT_EQ(captions(), (Strings{"Work", "Zeta", "Main"}));
    EXPECT_EQ(sites->siteSelection(), row("Zeta"));
    EXPECT_EQ(selectionChanges, 1);

    sites->MakeFolder("a/b");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption + ": " + ui.messages[0].text, "Attention: Can Not Create the Directory :a/b");
    EXPECT_EQ(sites->siteSelection(), row("Zeta"));
    EXPECT_EQ(selectionChanges, 1);
    EXPECT_EQ(ui.changes, 2) << "the views are told either way";
}

// Only a folder is renamed, under the name typed into the prompt.
TEST_F(SiteListControllerTest, RenameSiteFolderAsksForTheNewName)
{
    sites->selectSite(row("Main"));
    sites->RenameSiteFolder();
    EXPECT_TRUE(ui.prompts.empty());

    sites->selectSite(row("Work"));
    ui.cancelPrompt();
    sites->RenameSiteFolder();
    EXPECT_EQ(captions(), (Strings{"Work", "Main"}));
    ui.answerPrompt("Projects");
    sites->RenameSiteFolder();
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompt(1), "Rename Directory / Enter new directory name: / Work / 255");
    EXPECT_EQ(captions(), (Strings{"Projects", "Main"}));
    EXPECT_EQ(stored(), (Strings{"Projects", "Main"}));
}

TEST_F(SiteListControllerTest, DeleteSiteEntriesAsksFirst)
{
    sites->DeleteSiteEntries({});
    EXPECT_TRUE(ui.questions.empty()) << "nothing selected, nothing asked";

    sites->selectSite(row("Main"));
    ui.answerNo();
    sites->DeleteSiteEntries({size_t(row("Main"))});
    EXPECT_EQ(stored(), (Strings{"Work", "Main"}));
    EXPECT_EQ(sites->siteSelection(), row("Main"));

    ui.answerYes();
    sites->DeleteSiteEntries({size_t(row("Main"))});
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1].caption + ": " + ui.questions[1].text, "Attention: Do you wish to remove");
    EXPECT_EQ(stored(), Strings{"Work"});
    EXPECT_EQ(sites->siteSelection(), -1);
}

// A double-click on a folder opens it; with nothing selected the user makes the site to open; a
// selected site is opened as it is.
TEST_F(SiteListControllerTest, TheSiteToOpenComesFromTheSelectionOrTheNewSiteDialog)
{
    sites->selectSite(row("Work"));
    EXPECT_EQ(sites->siteToOpen(), nullptr);
    EXPECT_EQ(sites->siteList.CurrentSiteFolder(), "work/");
    EXPECT_EQ(sites->siteSelection(), -1);

    ui.siteEditor = [](SiteProperties& model) {
        model.form.name = "Inner";
        model.form.server = "inner.example.net";
        model.form.port = "21";
        return true;
    };
    const SiteEntry* made = sites->siteToOpen();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->caption + " " + made->site.Server, "Inner inner.example.net");
    EXPECT_EQ(sites->siteSelection(), row("Inner"));

    ui.siteEditor = nullptr;
    EXPECT_EQ(sites->siteToOpen(), made) << "a selected site opens without a dialog";
    sites->SiteListUp();
    EXPECT_EQ(sites->siteList.CurrentSiteFolder(), "");
    EXPECT_EQ(sites->siteSelection(), -1);
}

} // namespace
} // namespace brisk::test
