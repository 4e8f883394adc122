#include "i18n/main_messages.h"

namespace brisk {

const std::vector<std::string>& MainMessagesEnglish()
{
    static const std::vector<std::string> texts = {
        "Enter password", "Password", "Connecting to", "Error", "Can not create the directory", "Attention",
        "SERVER LIST", "Renaming file", "Starting transfer of", "Change Directory", "No internet connection..",
        "Create Directory", "Enter new directory name", "Rename", "Enter new name", "File already exists",
        "Rewrite", "Do you wish to remove", "file(s)", "and", "folder(es)", "Can Not Create the Directory",
        "Enter new", "name", "Mask", "Local", "FTP", "Filter", "byte", "in", "Do you want to quit the program?",
        "Converting file", "Ok", "Read file error", "Open file error", "Connection closed",
    };
    return texts;
}

const std::vector<std::string>& MainExtraMessagesEnglish()
{
    static const std::vector<std::string> texts = {
        "Transfer finished:", "transferred", "skipped", "failed", "Connection failed",
        "Reading the directory listing", "Attributes changed:", "Write file error",
        "The server %1 refused the connection on port %2.", "The server name %1 was not found.",
        "The server name %1 could not be looked up now; try again later.",
        "The server %1 did not answer on port %2 in time.", "The server %1 cannot be reached from this computer.",
        "The server %1 closed the connection before it was ready.",
        "The port \"%2\" of the server %1 is not a port number from 1 to 65535.",
        "The connection to %1 on port %2 failed: %3.",
        "Host name empty", "Unable to write to %1", "Save as site", "FTP Server Name:", "FTP Server Name must be defined",
        "Directory", "File", "[Attempt %1]",
        "Skipped \"%1\": %2", "Skipped \"%1\" in %2: %3", "not a name that can be sent",
        "a symbolic link to a directory is not followed", "not a regular file", "not a name that can be written here",
        "the local directory cannot be created", "the local target is a symbolic link", "it no longer exists",
        "the directory could not be created", "not a name that can be deleted", "not a name or mode that can be sent",
        "Symbolic link", "Name", "Location", "Type", "Size", "bytes", "Modified", "Attributes", "Link to",
        "Host: enter a host name or address without blanks.", "Port: enter a number from 1 to 65535.",
        "Server certificate", "The certificate of %1 is not trusted: %2.",
        "WARNING: the certificate of %1 has changed since you trusted it. Someone may be intercepting the "
        "connection.",
        "Subject:", "Issuer:", "Valid from:", "Valid until:", "SHA-256 fingerprint:", "Trust once", "Trust always",
        "host or ftp://user@host:port/dir", "raw FTP command, e.g. FEAT",
        "Delete finished:", "deleted", "Failed: %1", "the directory could not be entered",
        "the directory could not be listed", "a listing line that could not be read",
        "the local directory cannot be read", "the directory itself or its parent",
        "The listing of %1 failed: %2",
        "the partial file of an unfinished transfer",
        "The server refused to rename the upload of %1; it is sent again under its own name",
        "Not resumed, the whole file is transferred: %1",
        "Incomplete download kept as %1: %2 of %3 bytes",
        "its date cannot be read, so neither side counts as newer", "the local directory cannot be read",
        "The server accepts no more connections: the transfers go on with those it took (%1)",
        "The connection was lost during %1; it is opened again and the file resumed",
        "%1 files queued for transfer", "the server accepted no connection for the transfer",
        "The transfer queue holds %1 unfinished transfers from the last session. Keep them to resume?",
        "stopped by the user",
        "The server refused %1 for now; it is tried again",
        "1 file", "%1 files", "1 folder", "%1 folders",
    };
    return texts;
}

std::string FormatMessage(const std::string& pattern, const std::vector<std::string>& args)
{
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t arg = i + 1 < pattern.size() && pattern[i] == '%' ? size_t(pattern[i + 1] - '1') : args.size();
        if (arg < args.size() && arg < 9) {
            out += args[arg];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

const std::string& MessageList::operator[](int index) const
{
    static const std::string empty;
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        return empty;
    return items_[static_cast<size_t>(index)];
}

} // namespace brisk
