#include "ui/main_window.h"

#include "config/pane_split.h"
#include "ui/column_fit.h"
#include "ui/file_list_view.h"
#include "ui/local_dir_tree.h"

#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSplitter>

#include <algorithm>

namespace brisk {

namespace {

// The design: column widths of the local list (Filename, Size, Date, Time) and of the remote list
// (the same, then Attribute and Links), and the tree's width when first shown.
constexpr std::array<int, 4> kLocalColumns = {220, 90, 80, 60};
constexpr std::array<int, 6> kRemoteColumns = {220, 90, 80, 60, 90, 100};
constexpr int kSizeColumn = 1;
constexpr int kDirTreeWidth = 200;
// Sizes that do not fit leave every pane at least this much.
constexpr int kMinimumSide = 200;
constexpr int kMinimumLog = 50;
constexpr int kMinimumDirTree = 80;

// The room the splitter's two panes share: its extent less the handle between them.
int roomOf(const QSplitter* splitter)
{
    const QRect area = splitter->contentsRect();
    return (splitter->orientation() == Qt::Horizontal ? area.width() : area.height()) - splitter->handleWidth();
}

// No column vanishes and none is beyond what the header takes.
int columnWidth(const QHeaderView* header, int width)
{
    return std::clamp(width, header->minimumSectionSize(), header->maximumSectionSize());
}

} // namespace

void T_Main::buildDirTree()
{
    dirTree = new LocalDirTree;
    dirTree->setObjectName("Panel4");
    dirTree->hide();
    dirTree->onChosen = [this](const std::string& dir) {
        program_->local.changeDirectory(dir);
        scheduleRefresh();
    };
    dirTreeWidth_ = kDirTreeWidth;
}

// The Size columns are as wide as the design, or as the largest sizes need in the panel's font.
void T_Main::setDesignColumns()
{
    for (size_t i = 0; i < kLocalColumns.size(); ++i)
        lvLoc->header()->resizeSection(int(i), kLocalColumns[i]);
    lvLoc->header()->resizeSection(
        kSizeColumn, std::max(kLocalColumns[kSizeColumn], ColumnWidthFor(lvLoc, {WidestPanelSize()})));
    remoteColumnWidths_ = kRemoteColumns;
    remoteColumnWidths_[kSizeColumn] =
        std::max(kRemoteColumns[kSizeColumn], ColumnWidthFor(FTPView, {WidestPanelSize()}));
}

// The window's sizes as they are, the saved ones read over them.
void T_Main::ApplyLayouts()
{
    LayoutSizes sizes = captureLayout();
    LoadLayouts(sizes);
    applyLayout(sizes);
}

void T_Main::saveLayout()
{
    program_->SaveLayout(captureLayout());
}

LayoutSizes T_Main::captureLayout()
{
    keepRemoteColumns();
    LayoutSizes sizes;
    sizes.LogHeight = logPane->height();
    sizes.Local = localSplit_->width();
    sizes.Ftp = panes_->widget(1)->width();
    sizes.LocDirList = dirTree->isHidden() ? 0 : dirTree->width();
    int32_t* const local[] = {&sizes.LocFile, &sizes.LocSize, &sizes.LocDate, &sizes.LocTime};
    for (int i = 0; i < 4; ++i)
        *local[i] = lvLoc->header()->sectionSize(i);
    int32_t* const remote[] = {&sizes.FtpFile, &sizes.FtpSize,      &sizes.FtpDate,
                               &sizes.FtpTime, &sizes.FtpAttribute, &sizes.FtpLinks};
    for (size_t i = 0; i < remoteColumnWidths_.size(); ++i)
        *remote[i] = remoteColumnWidths_[i];
    return sizes;
}

void T_Main::applyLayout(const LayoutSizes& sizes)
{
    const PaneSplit log = SplitFixed(roomOf(vertical_), sizes.LogHeight, kMinimumLog);
    vertical_->setSizes({log.second, log.first});
    const PaneSplit sides = SplitProportional(roomOf(panes_), sizes.Local, sizes.Ftp, kMinimumSide);
    panes_->setSizes({sides.first, sides.second});
    showDirTree(sizes.LocDirList);
    const int32_t local[] = {sizes.LocFile, sizes.LocSize, sizes.LocDate, sizes.LocTime};
    for (int i = 0; i < 4; ++i)
        lvLoc->header()->resizeSection(i, columnWidth(lvLoc->header(), local[i]));
    const int32_t remote[] = {sizes.FtpFile, sizes.FtpSize,      sizes.FtpDate,
                              sizes.FtpTime, sizes.FtpAttribute, sizes.FtpLinks};
    for (size_t i = 0; i < remoteColumnWidths_.size(); ++i)
        remoteColumnWidths_[i] = columnWidth(FTPView->header(), remote[i]);
    if (showsRemoteColumns())
        restoreRemoteColumns();
}

// A width of 0 or less hides the tree.
void T_Main::showDirTree(int width)
{
    dirTree->setVisible(width > 0);
    action("actDirTree")->setChecked(width > 0);
    if (width <= 0)
        return;
    const PaneSplit split = SplitFixed(roomOf(localSplit_), width, kMinimumDirTree);
    localSplit_->setSizes({split.first, split.second});
    dirTree->follow(program_->local.currentDir());
}

// The menu's toggle; the tree comes back as wide as it was.
void T_Main::toggleDirTree()
{
    if (!dirTree->isHidden())
        dirTreeWidth_ = dirTree->width();
    showDirTree(action("actDirTree")->isChecked() ? dirTreeWidth_ : 0);
}

bool T_Main::showsRemoteColumns() const
{
    return FTPView->header()->count() == int(remoteColumnWidths_.size());
}

void T_Main::keepRemoteColumns()
{
    if (!showsRemoteColumns())
        return;
    for (size_t i = 0; i < remoteColumnWidths_.size(); ++i)
        remoteColumnWidths_[i] = FTPView->header()->sectionSize(int(i));
}

void T_Main::restoreRemoteColumns()
{
    for (size_t i = 0; i < remoteColumnWidths_.size(); ++i)
        FTPView->header()->resizeSection(int(i), remoteColumnWidths_[i]);
}

} // namespace brisk
