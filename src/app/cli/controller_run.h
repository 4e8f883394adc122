#pragma once
#include "batch_user_interface.h"
#include "cli_session.h"
#include "temp_file.h"
#include "terminal_progress.h"
#include "session/session_controller.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace brisk::cli {

// One session controller run without a window, for the commands that use the window's chains
// (rm -r, get -r, put -r): it opens the URL's site, moves the remote panel, selects rows and pumps
// the event loop until a chain has ended. With -v the log is written to stderr at the end.
class ControllerRun {
public:
    // `localDir` is the local panel's directory for the whole run.
    ControllerRun(const GlobalOptions& options, std::string localDir, std::ostream& err);
    ~ControllerRun();
    ControllerRun(const ControllerRun&) = delete;
    ControllerRun& operator=(const ControllerRun&) = delete;

    SessionController& controller() { return c_; }

    // Logs in and shows the start directory, always as an absolute path; a failure is reported.
    bool open(const FtpUrl& url);
    // `given` as an absolute remote path: relative ones start at the directory the session opened in.
    std::string absolute(const std::string& given) const;
    // Shows `dir` in the remote panel; true once its listing is there.
    bool show(const std::string& dir);
    // Shows the parent of the remote path `given` and makes its entry the only selected row; the
    // row, or -1 when that fails (reported, `what` saying what the entry was wanted for).
    int selectEntry(const std::string& given, const std::string& what);
    // Pumps until `chain` has ended and what its end started (the return to the start directory)
    // is done; false when the session ended meanwhile.
    bool waitChainEnd(const RequestChain& chain);
    // The same for any work that says whether it is still running.
    bool waitEnd(const std::function<bool()>& running);
    void report(const std::string& subject, const std::string& why);
    // Writes the last log line starting with `closing` and the failures named after it (unless
    // -v writes the whole log); false when there is no such line.
    bool printClosingLines(const std::string& closing, bool verbose);

private:
    bool waitListing(uint64_t before);

    TempFile listing_{"brisklane-listing"};   // gone even when a signal ends the run
    TFTPOptions options_;
    TerminalProgress progress_;
    BatchUserInterface ui_;
    FixedLocalDirectory local_;
    SessionController c_{ui_, options_, local_};
    std::ostream& err_;
    GlobalOptions cli_;
    std::string startDir_;   // where the session opened, absolute
};

// The row of `name` in a panel, or -1.
int rowOf(const FilePanel& panel, const std::string& name);

// A directory itself, not a link to one.
bool isRealDirectory(const std::filesystem::path& path);
// Absolute, without "." and ".." and without a trailing separator.
std::filesystem::path absoluteLocalPath(const std::string& given);

} // namespace brisk::cli
