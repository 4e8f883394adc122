// The mirror download cases of the tree benchmark: brisklane-cli's mirror into an empty local directory
// on one connection and, once its help offers --parallel, on 4 and 8; lftp's mirror at parallel 1, 4
// and 8. Then the ratios of their median wall times that the team's goals are set in.
#pragma once
#include "measured_run.h"

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline constexpr int kConnections[] = {1, 4, 8};
inline constexpr const char* kOursMirror[] = {"brisklane-cli -P1", "brisklane-cli -P4", "brisklane-cli -P8"};
inline constexpr const char* kLftpMirror[] = {"lftp -P1", "lftp -P4", "lftp -P8"};

// Where brisklane-cli takes --parallel N, as its help shows it: not at all, among the options before
// the URL, or after the command.
enum class ParallelOption { none, global, command };

inline ParallelOption parallelOptionIn(const std::string& help)
{
    const size_t at = help.find("--parallel");
    if (at == std::string::npos)
        return ParallelOption::none;
    const size_t options = help.find("\nOptions:");
    return options != std::string::npos && at > options ? ParallelOption::global : ParallelOption::command;
}

// brisklane-cli's mirror of REMOTE_DIR into `local` on n connections (none given for one).
inline std::vector<std::string> oursMirrorDown(const std::string& url, ParallelOption parallel, int n,
                                               const std::string& remote, const std::string& local)
{
    std::vector<std::string> argv{BRISKLANE_CLI_PATH, url, "mirror"};
    const std::vector<std::string> option{"--parallel", std::to_string(n)};
    if (n > 1)
        argv.insert(parallel == ParallelOption::global ? argv.begin() + 1 : argv.end(), option.begin(), option.end());
    argv.insert(argv.end(), {"--subdirs", "--direction", "local", local, remote});
    return argv;
}

// lftp's settings for n connections; for one, those the other tree cases use.
inline std::string lftpParallel(int n)
{
    const std::string count = std::to_string(n);
    return "set net:connection-limit " + count + "; set cmd:parallel 1; set mirror:parallel-transfer-count " +
           count + "; set mirror:parallel-directories " + (n > 1 ? "yes" : "no") + "; ";
}

// A case's median wall time: absent when the case did not run, failed when a run of it failed or its
// copy differed.
struct Wall {
    bool present = false;
    bool intact = false;
    double seconds = 0;
};

inline Wall medianWall(const std::vector<Case>& cases, const std::vector<Run>& medians,
                       const std::vector<bool>& intact, const char* program)
{
    for (size_t i = 0; i < cases.size(); ++i)
        if (std::string(cases[i].direction) == "mirror" && std::string(cases[i].program) == program)
            return {true, intact[i] && medians[i].status == 0, medians[i].seconds};
    return {};
}

inline void reportGoal(const char* name, const Wall& a, const Wall& b, const char* goal)
{
    if (a.present && b.present && a.intact && b.intact)
        std::printf("  %-22s %6.3f   (goal %s)\n", name, a.seconds / b.seconds, goal);
    else
        std::printf("  %-22s %6s   (goal %s)\n", name, a.present && b.present ? "failed" : "n/a", goal);
}

// `intact`: per case, whether every run of it succeeded with an identical copy.
inline void reportMirrorGoals(const std::vector<Case>& cases, const std::vector<Run>& medians,
                              const std::vector<bool>& intact)
{
    const auto wall = [&](const char* program) { return medianWall(cases, medians, intact, program); };
    std::printf("mirror down, ratios of median wall times:\n");
    reportGoal("ours -P1 / lftp -P1", wall(kOursMirror[0]), wall(kLftpMirror[0]), "<= 0.8");
    reportGoal("ours -P4 / lftp -P4", wall(kOursMirror[1]), wall(kLftpMirror[1]), "<= 0.9");
    reportGoal("ours -P8 / ours -P1", wall(kOursMirror[2]), wall(kOursMirror[0]), "<= 1/6 = 0.167");
}

} // namespace bench
