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
        "%1 bytes received/sent in %2 seconds",
        "%1 bytes received/sent in %2 seconds (%3 Bytes/sec)",
        "Abort requested",
        "No reply to %1 after the data connection failed: closing the session",
        "The remote file keeps the time of the upload",
        "Data connection from %1 refused: not the server (%2)",
        "Data: Receive error %1",
        "Unable to open local file %1",
        "Error writing local file",
        "Error reading file",
        "Error #%1 sending data",
        "RETR/LIST/NLST Failed",
        "STOR Failed",
        "The server ended the data connection without closing TLS: the data may be incomplete",
        "REST refused: the whole file is transferred",
        "APPE refused: resuming with REST and STOR",
        "Not resumed: %1; the whole file is sent",
        "an ASCII transfer cannot be resumed",
        "the remote file is not there",
        "the server gives no size (SIZE answered %1)",
        "the remote file (%1 bytes) is not shorter than the local one",
        "The server does not offer TLS; the session goes on without encryption",
        "TLS connection established: %1",
        "Certificate trusted by the user: %1",
        "The certificate of %1 has changed since it was trusted",
        "Could not store the trusted certificate in %1",
        "Data connection: a new TLS session (the server did not resume the control connection's)",
        "The server answers a transfer command only after the data connection's TLS handshake",
        "Data connection: %1",
    };
    return texts;
}

const std::string& MessageList::operator[](int index) const
{
    static const std::string empty;
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        return empty;
    return items_[static_cast<size_t>(index)];
}

} // namespace brisk
