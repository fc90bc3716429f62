#pragma once
// A program the tests start and own: killed and reaped when the object goes.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace velmora::test {

class ChildProcess {
public:
    // Starts argv[0] (searched in PATH) with the test's environment plus
    // extraEnvironment. Output goes to logFile when one is given. Throws
    // std::runtime_error when the program cannot be started.
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& extraEnvironment = {},
                 const std::string& logFile = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to timeoutMs for the program to end; returns its exit status,
    // or -1 if it still runs.
    int waitForExit(int timeoutMs);
    void terminate();

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Runs a command to its end and returns what it printed on standard output.
std::string runAndRead(const std::string& command);

}  // namespace velmora::test
