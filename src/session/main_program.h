#pragma once
#include "config/ftp_options.h"
#include "config/window_layouts.h"
#include "local/line_ending_command.h"
#include "local/local_panel.h"
#include "session/custom_commands.h"
#include "session/queue_pane.h"
#include "session/queue_runner.h"
#include "session/queue_store.h"
#include "session/quick_connect.h"
#include "session/raw_command_box.h"
#include "session/session_controller.h"

#include <functional>
#include <string>

namespace brisk {

// What the main window loads before anything else: the custom commands and the options.
struct ProgramSettings {
    ProgramSettings();
    CustomCommands commands;
    TFTPOptions options;
    TLang lang;
    ListFonts fonts;
};

// The main window's life without its widgets: what it loads at start-up and in which order, the
// quit question, and what it saves when it goes.
class MainProgram {
public:
    explicit MainProgram(UserInterface& ui);
    ~MainProgram();
    MainProgram(const MainProgram&) = delete;
    MainProgram& operator=(const MainProgram&) = delete;

    ProgramSettings settings;
    // The session only keeps a reference to the local panel at construction, so it may come first
    // and lend the panel its message list.
    SessionController session;
    LocalPanel local;
    // "Carriage Return" on the local panel's selected files; it reports in the session's log.
    LineEndingCommand lineEndings;
    QuickConnect quickConnect;
    RawCommandBox rawCommand;
    std::string helpFile;
    // The window's transfers: the session walks the tree, the queue moves the files on connections of
    // their own while the session stays free for browsing.
    TransferQueue queue;
    QueueRunner queueRunner;
    QueueStore queueStore;
    QueuePane queuePane{queue, queueRunner};

    // At start: the last session's queue is read (a broken file is reported and set aside) and, when
    // it holds unfinished items, offered for resuming; they start once their site is open. A second
    // copy of the program leaves the file to the first.
    void OfferSavedQueue();

    // Stop Transfer has something to end, in the session or in the transfer queue.
    bool canStop() const { return session.canStop() || queueRunner.running() > 0; }

    // True when the user confirms quitting.
    bool CloseQuery();
    // Saves the options and the quick-connect history; false (after telling the user) when the file
    // cannot be written.
    bool Close();
    // "Save Layout", the only writer of the window's sizes (closing keeps the saved ones); false
    // (after telling the user) when the file cannot be written.
    bool SaveLayout(const LayoutSizes& sizes);
    // The quick-connect bar's Connect: a fault in its fields is shown, otherwise its site opens the
    // way a stored one does.
    void QuickConnectOpen();
    // The quick-connect bar's "Save as site": its last site goes to the site list.
    void QuickConnectSave();
    // Starts another copy of the program; a failure is ignored.
    void SpawnSession();
    // "Compare Directories": selects what differs between the local and the remote directory shown,
    // deselects what matches (main_program_compare.cpp). Does nothing without an open session.
    void CompareDirectories();

    // "Preferences" (main_program_preferences.cpp): the options dialog, then the options applied
    // whatever its end. A new default transfer type becomes the session's transfer type.
    void ShowPreferences();
    // The Preferences dialog's "OK" runs this last: the main window takes the language settings.
    std::function<void()> retranslateMainWindow;

    // The raw-command bar (main_program_commands.cpp). "Do It": the box's command goes to the
    // server when the session can take one; the reply shows in the log, then the panel is refreshed.
    void SendRawCommand();
    // "Commands": the custom command dialog on a copy of the library, which takes the edits however
    // the dialog ends; Select puts the entry's command into the box, unsent.
    void PickCustomCommand();
    // The "Custom Command" menu entries show and hide the bar.
    void ToggleCommandBox() { rawCommand.toggle(); }

private:
    void connectQueue();

    UserInterface& ui_;
};

} // namespace brisk
