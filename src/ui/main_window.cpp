#include "ui/main_window.h"

#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/local_dir_tree.h"
#include "ui/queue_pane_widget.h"
#include "ui/quick_connect_bar.h"
#include "ui/unhandled_exception.h"
#include "ui/window_language.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace brisk {

T_Main::T_Main(QWidget* parent) : QMainWindow(parent), ui_(this)
{
    ui_.setChangedHandler([this] { scheduleRefresh(); });
    program_ = std::make_unique<MainProgram>(ui_);
    program_->retranslateMainWindow = [this] { RetranslateMainWindow(false); };
    mirroring_ = std::make_unique<Mirroring>(program_->session, program_->local, ui_, ui_);
    ui_.setMessages(program_->session.msl);
    buildWidgets();
    buildStatusBar();
    buildActions();
    buildPanelActions();
    buildMenus();
    buildViewMenu();
    buildToolBar();
    buildContextMenus();
    connectViews();
    connectTransfers();
    trackFocus();
    applyFonts();
    translate();
    resize(1100, 720);
    refreshViews();
    setDesignColumns();
    setUnhandledExceptionHandler([this](const std::string& what) { reportError(what); });
}

T_Main::~T_Main()
{
    setUnhandledExceptionHandler(nullptr);
    SetProgramLanguage(nullptr);
    disconnect(focusTracking_);
    // The models go before the widgets: nothing may reach them from a view any more.
    ui_.setChangedHandler(nullptr);
    for (QWidget* view : std::initializer_list<QWidget*>{lvLoc, FTPView, localPath, FTPPath})
        view->blockSignals(true);
    for (FileListView* view : {lvLoc, FTPView}) {
        view->selectionModel()->blockSignals(true);
        view->rows()->clear();
    }
    // The queue pane watches the queue, which goes with the program below.
    delete queuePane;
    queuePane = nullptr;
}

void T_Main::buildWidgets()
{
    panes_ = new QSplitter(Qt::Horizontal);
    panes_->addWidget(buildLocalSide());
    panes_->addWidget(buildRemoteSide());
    panes_->setChildrenCollapsible(false);
    panes_->widget(1)->setObjectName("Panel2");

    logPane = new QPlainTextEdit;
    logPane->setObjectName("logPane");
    logPane->setReadOnly(true);
    logPane->setLineWrapMode(QPlainTextEdit::NoWrap);
    logPane->setMaximumBlockCount(0);

    // The log and the transfer queue side by side under the panels.
    queuePane = new QueuePaneWidget(program_->queuePane, program_->queue);
    auto* bottom = new QSplitter(Qt::Horizontal);
    bottom->setObjectName("bottomSplit");
    bottom->addWidget(logPane);
    bottom->addWidget(queuePane);
    bottom->setChildrenCollapsible(false);
    bottom->setStretchFactor(0, 2);
    bottom->setStretchFactor(1, 3);

    // The splitters share out a new size in the panes' current proportions.
    vertical_ = new QSplitter(Qt::Vertical);
    vertical_->addWidget(panes_);
    vertical_->addWidget(bottom);
    vertical_->setChildrenCollapsible(false);
    setCentralWidget(vertical_);
    // Tab goes from one file list to the other; the boxes, the tree and the log take the focus by
    // click only.
    for (QWidget* clickOnly : std::initializer_list<QWidget*>{localPath, FTPPath, dirTree, logPane})
        clickOnly->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(lvLoc, FTPView);
    // The remote side is the current panel at start.
    FTPView->setFocus();
}

QWidget* T_Main::buildSide(const char* name, QComboBox*& path, FileListView*& list)
{
    path = new QComboBox;
    path->setObjectName(QString(name) + "Path");
    list = new FileListView;

    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(path);
    layout->addWidget(list, 1);
    return side;
}

// The panels' information lines, each under its own half of the window.
void T_Main::buildStatusBar()
{
    localInfo = new QLabel;
    localInfo->setObjectName("localInfo");
    remoteInfo = new QLabel;
    remoteInfo->setObjectName("remoteInfo");
    for (QLabel* info : {localInfo, remoteInfo})
        statusBar()->addWidget(info, 1);
    // While a listing loads: its progress in words and a bar that moves without a known end.
    busyText = new QLabel;
    busyText->setObjectName("busyText");
    busyBar = new QProgressBar;
    busyBar->setObjectName("busyBar");
    busyBar->setRange(0, 0);
    busyBar->setMaximumWidth(120);
    statusBar()->addPermanentWidget(busyText);
    statusBar()->addPermanentWidget(busyBar);
    busyText->hide();
    busyBar->hide();
}

// The directory tree (hidden at first) beside the local path box and list.
QWidget* T_Main::buildLocalSide()
{
    QWidget* side = buildSide("local", localPath, lvLoc);
    lvLoc->setObjectName("lvLoc");
    buildDirTree();
    localSplit_ = new QSplitter(Qt::Horizontal);
    localSplit_->setObjectName("Panel1");
    localSplit_->addWidget(dirTree);
    localSplit_->addWidget(side);
    localSplit_->setChildrenCollapsible(false);
    return localSplit_;
}

QWidget* T_Main::buildRemoteSide()
{
    QWidget* side = buildSide("remote", FTPPath, FTPView);
    static_cast<QVBoxLayout*>(side->layout())->insertWidget(0, buildQuickConnectBar());
    static_cast<QVBoxLayout*>(side->layout())->insertWidget(1, buildRawCommandBar());
    FTPPath->setObjectName("FTPPath");
    FTPView->setObjectName("FTPView");
    // A click on a selected remote name edits it in place (F2 is Rename for the current panel); the
    // server renames it when the edit ends.
    FTPView->setEditTriggers(QAbstractItemView::SelectedClicked);
    return side;
}

QuickConnectBar* T_Main::buildQuickConnectBar()
{
    quickConnectBar = new QuickConnectBar(program_->quickConnect);
    quickConnectBar->onConnect = [this] {
        program_->QuickConnectOpen();
        refreshViews();
    };
    quickConnectBar->onSave = [this] {
        program_->QuickConnectSave();
        refreshViews();
    };
    return quickConnectBar;
}

void T_Main::scheduleRefresh()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refreshViews(); });
}

void T_Main::reportError(const std::string& what)
{
    SessionController& s = program_->session;
    s.AddLog(s.msl[msgError] + " " + what);
    // Shown once the handler that failed has unwound, never from inside Qt's dispatch.
    QTimer::singleShot(0, this, [this, what] { ui_.ShowMessage(program_->session.msl[msgAttention], what); });
}

void T_Main::closeEvent(QCloseEvent* event)
{
    if (!program_->CloseQuery()) {
        event->ignore();
        return;
    }
    program_->Close();
    event->accept();
}

// The design layout, then the saved one, once the panes have their first real size: before the
// first show they are not laid out, and the quick-connect bar's minimum width would skew the split.
void T_Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (layoutApplied_)
        return;
    layoutApplied_ = true;
    splitByDesign();
    ApplyLayouts();
    // Asked once the window is up, so the question has it behind.
    QTimer::singleShot(0, this, [this] { program_->OfferSavedQueue(); });
}

// The design: the two sides equally wide, the log pane a quarter of the height.
void T_Main::splitByDesign()
{
    const int half = (panes_->width() - panes_->handleWidth()) / 2;
    panes_->setSizes({half, half});
    const int room = vertical_->height() - vertical_->handleWidth();
    vertical_->setSizes({room - room / 4, room / 4});
}

} // namespace brisk
