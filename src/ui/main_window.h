#pragma once
#include "config/window_layouts.h"
#include "i18n/form_texts.h"
#include "listing/size_display.h"
#include "mirror/mirroring.h"
#include "session/main_program.h"
#include "session/panel_side.h"
#include "ui/qt_translatable_form.h"
#include "ui/qt_user_interface.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;
class QToolBar;

namespace brisk {

class FileListView;
class QueuePaneWidget;
class LocalDirTree;
class QuickConnectBar;
class RawCommandBar;
struct DraggedRows;

// The main window: the local panel on the left, the site list or the remote directory on the right,
// the protocol log below. It only shows the models of MainProgram and hands user input to them.
class T_Main : public QMainWindow {
public:
    explicit T_Main(QWidget* parent = nullptr);
    ~T_Main() override;

    MainProgram& program() { return *program_; }
    Mirroring& mirroring() { return *mirroring_; }
    // The action with this object name ("actConnect", ...), or nullptr.
    QAction* action(const QString& name) const;
    // Brings every view up to date with the models now (normally this runs once per batch of changes).
    void refreshViews();
    // An exception that reached the event loop: logged, then shown in a message box.
    void reportError(const std::string& what);
    // The chosen language into the window (menus, headers, messages), from the built-in texts up;
    // only with a language on unless forced (main_window_language.cpp).
    void RetranslateMainWindow(bool force);

    FileListView* lvLoc = nullptr;
    FileListView* FTPView = nullptr;
    QuickConnectBar* quickConnectBar = nullptr;
    RawCommandBar* rawCommandBar = nullptr;
    QComboBox* FTPPath = nullptr;
    QComboBox* localPath = nullptr;
    QPlainTextEdit* logPane = nullptr;
    QueuePaneWidget* queuePane = nullptr;
    LocalDirTree* dirTree = nullptr;
    QLabel* localInfo = nullptr;
    QLabel* remoteInfo = nullptr;
    QLabel* busyText = nullptr;
    QProgressBar* busyBar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    QWidget* buildSide(const char* name, QComboBox*& path, FileListView*& list);
    void buildStatusBar();
    QWidget* buildLocalSide();
    QWidget* buildRemoteSide();
    QuickConnectBar* buildQuickConnectBar();
    // the raw-command bar and its menu entry (main_window_raw_command.cpp)
    QWidget* buildRawCommandBar();
    void refreshRawCommandBar();
    void buildActions();
    void buildPanelActions();
    void buildMenus();
    void buildToolBar();
    void buildViewMenu();
    // the "Language" menu and the window's texts (main_window_language.cpp)
    void buildLanguageMenu();
    void translate();
    void applyEditHints();
    void selectLanguage(QAction* entry);
    void showSizes(SizeDisplay display);
    QAction* addAction(const QString& name, const QString& text, const QString& icon,
                       const std::function<void()>& run, const QKeySequence& key = {});
    void connectViews();
    void buildContextMenus();
    void connectTransfers();

    void scheduleRefresh();
    void refreshRemote();
    void refreshSiteRows();
    void refreshRemoteRows();
    void refreshLocal();
    void refreshPathBoxes();
    void refreshLog();
    void refreshActions();
    void refreshPanelActions();
    void splitByDesign();

    // the saved layout (main_window_layout.cpp)
    void buildDirTree();
    void setDesignColumns();
    void ApplyLayouts();
    void saveLayout();
    LayoutSizes captureLayout();
    void applyLayout(const LayoutSizes& sizes);
    void showDirTree(int width);
    void toggleDirTree();
    bool showsRemoteColumns() const;
    void keepRemoteColumns();
    void restoreRemoteColumns();
    void applyFonts();
    void chooseListFont(int tag);

    void remoteSelectionChanged();
    void localSelectionChanged();
    void remoteActivated(int row);
    void remoteEdited(size_t row, const std::string& name);
    bool remoteKey(int key);
    bool localKey(int key);
    void remoteRename();
    void remoteDelete();
    void remoteUp();
    void remoteRefresh();

    // the current panel (main_window_panels.cpp)
    void trackFocus();
    void focusMoved(const QWidget* now);
    void markCurrentPanel();
    QAction* routed(const QString& generic) const;

    // transfers (main_window_transfers.cpp)
    void uploadSelected();
    void downloadSelected();
    void localRowsDropped(const DraggedRows& rows);
    void remoteRowsDropped(const DraggedRows& rows);
    bool transferDropAllowed(quint64 source, const FileListView* from) const;

    QtUserInterface ui_;
    // The column headers: of the local list, the remote list and the site list.
    QStringList localColumns_{"Filename", "Size", "Date", "Time"};
    QStringList remoteColumns_{"Filename", "Size", "Date", "Time", "Attribute", "Links"};
    QStringList siteColumns_{"FTP Servers", "Server"};
    std::unique_ptr<QtTranslatableForm> texts_;
    FormTexts builtInTexts_;
    QMenu* languageMenu_ = nullptr;
    std::unique_ptr<MainProgram> program_;
    std::unique_ptr<Mirroring> mirroring_;
    QSplitter* vertical_ = nullptr;
    QSplitter* panes_ = nullptr;
    QSplitter* localSplit_ = nullptr;
    // The remote list's six column widths, kept while it shows the site list's columns.
    std::array<int, 6> remoteColumnWidths_{};
    int dirTreeWidth_ = 0;
    bool layoutApplied_ = false;
    std::map<QString, QAction*> actions_;
    CurrentPanel current_;
    QMetaObject::Connection focusTracking_;
    bool refreshPending_ = false;
    bool refreshing_ = false;
    bool shownSiteList_ = false;
    uint64_t shownRemoteVersion_ = ~0ull;
    uint64_t shownLocalVersion_ = ~0ull;
    uint64_t shownLogGeneration_ = ~0ull;
    std::vector<std::string> shownSiteRows_;
};

} // namespace brisk
