#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velmora::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& extraEnvironment,
                           const std::string& logFile)
{
    std::map<std::string, std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const auto eq = entry.find('=');
        if (eq != std::string::npos)
            environment[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : extraEnvironment)
        environment[name] = value;

    std::vector<std::string> envStrings;
    for (const auto& [name, value] : environment)
        envStrings.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args(argv);
    std::vector<char*> argp;
    for (auto& s : args)
        argp.push_back(s.data());
    argp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that ending it also ends what it started
    // (the browser engine's helper processes).
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int rc = posix_spawnp(&pid_, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0)
        throw std::runtime_error("cannot start " + args.at(0));
}

ChildProcess::~ChildProcess()
{
    terminate();
}

bool ChildProcess::running()
{
    return waitForExit(0) == -1 && pid_ > 0;
}

int ChildProcess::waitForExit(int timeoutMs)
{
    if (pid_ <= 0)
        return status_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void ChildProcess::terminate()
{
    if (pid_ <= 0)
        return;
    // Kept: waitForExit() forgets the pid once the program is reaped.
    const pid_t group = pid_;
    ::kill(-group, SIGTERM);
    if (waitForExit(5000) == -1) {
        ::kill(-group, SIGKILL);
        waitForExit(5000);
    }
    ::kill(-group, SIGKILL);  // whatever of the group is left
}

std::string runAndRead(const std::string& command)
{
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string out;
    std::array<char, 4096> buffer{};
    while (const size_t n = fread(buffer.data(), 1, buffer.size(), pipe.get()))
        out.append(buffer.data(), n);
    return out;
}

}  // namespace velmora::test
