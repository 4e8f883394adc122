#include "ui/main_window.h"

#include "ui/file_list_model.h"
#include "ui/file_list_view.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace brisk {

namespace {

struct SizeChoice {
    const char* name;
    const char* text;
    SizeDisplay display;
};

const SizeChoice kSizeChoices[] = {
    {"actSizeBytes", "Sizes in bytes", SizeDisplay::Bytes},
    {"actSizeGrouped", "Sizes with digit grouping", SizeDisplay::Grouped},
    {"actSizeBinary", "Sizes in KiB/MiB/GiB", SizeDisplay::Binary},
};

} // namespace

// How both panels show sizes, the choice kept in the options; the directory tree; the layout, kept
// by Save Layout alone.
void T_Main::buildViewMenu()
{
    QMenu* menu = menuBar()->addMenu("&View");
    menu->setObjectName("mnView");
    auto* sizes = new QActionGroup(this);
    sizes->setExclusive(true);
    const auto stored = SizeDisplay(program_->settings.options.SizeDisplayMode);
    for (const SizeChoice& choice : kSizeChoices) {
        const SizeDisplay display = choice.display;
        QAction* act = addAction(choice.name, choice.text, "", [this, display] { showSizes(display); });
        act->setCheckable(true);
        act->setChecked(display == stored);
        sizes->addAction(act);
        menu->addAction(act);
    }
    showSizes(stored);
    menu->addSeparator();
    QAction* tree = addAction("actDirTree", "Directory Tree", "", [this] { toggleDirTree(); });
    tree->setCheckable(true);
    menu->addAction(tree);
    menu->addAction(addAction("actSaveLayout", "Save Layout", "", [this] { saveLayout(); }));
}

void T_Main::showSizes(SizeDisplay display)
{
    program_->settings.options.SizeDisplayMode = int(display);
    for (FileListView* list : {lvLoc, FTPView})
        list->rows()->setSizeDisplay(display);
}

} // namespace brisk
