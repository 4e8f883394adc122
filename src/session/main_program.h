#pragma once
#include "config/ftp_options.h"
#include "local/local_panel.h"
#include "session/custom_commands.h"
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
    std::string helpFile;

    // True when the user confirms quitting.
    bool CloseQuery();
    // Saves the options; false (after telling the user) when the file cannot be written.
    bool Close();
    // Starts another copy of the program; a failure is ignored.
    void SpawnSession();

private:
    UserInterface& ui_;
};

} // namespace brisk
