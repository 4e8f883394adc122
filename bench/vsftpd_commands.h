// The commands a client sent, counted from vsftpd's protocol log, and their report per file and per
// directory of the benchmark tree.
#pragma once
#include "small_tree.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>

namespace bench {

// The verbs of the commands in a piece of vsftpd's protocol log, counted, and the sessions opened.
struct Commands {
    std::map<std::string, int> verbs;
    int sessions = 0;

    int count(std::initializer_list<const char*> names) const
    {
        int n = 0;
        for (const char* name : names)
            n += verbs.count(name) ? verbs.at(name) : 0;
        return n;
    }
};

inline Commands commandsIn(const std::string& log)
{
    Commands c;
    const std::string marker = "FTP command: Client \"127.0.0.1\", \"";
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("CONNECT: Client") != std::string::npos)
            ++c.sessions;
        const size_t m = line.find(marker);
        if (m != std::string::npos) {
            const std::string command = line.substr(m + marker.size());
            ++c.verbs[command.substr(0, command.find_first_of(" \""))];
        }
    }
    return c;
}

// Per directory: changing into it, making it, listing it (with the listing's data connection) and the
// TYPE switches, which both clients make around listings. Per file: its transfer with its data
// connection and what else is asked or set about it. The rest is the login.
inline void reportCommands(const char* direction, const char* program, const Commands& c)
{
    const int listings = c.count({"LIST", "NLST", "MLSD"});
    const int dataSetups = c.count({"PASV", "EPSV", "PORT", "EPRT"});
    const int perDir =
        c.count({"CWD", "CDUP", "PWD", "MKD", "XMKD", "TYPE"}) + listings + std::min(listings, dataSetups);
    const int perFile = c.count({"RETR", "STOR", "REST", "SIZE", "MDTM", "MFMT", "SITE", "ALLO"}) +
                        (dataSetups - std::min(listings, dataSetups));
    int total = 0;
    std::string all;
    for (const auto& [verb, n] : c.verbs) {
        total += n;
        all += " " + verb + "=" + std::to_string(n);
    }
    std::printf("%-6s %-17s %5d commands, %d session(s): per file %.2f, per directory %.2f, login and end %d\n"
                "                         %s\n",
                direction, program, total, c.sessions, double(perFile) / (kDirs * kFilesPerDir),
                double(perDir) / (kDirs + 1), total - perFile - perDir, all.c_str());
}

} // namespace bench
