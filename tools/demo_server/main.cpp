// velmora-demo-server SITE_DIR SITE_PORT QUOTE_DIR QUOTE_PORT LOG_FILE
//
// Serves the demo site and the quote page on two loopback ports until SIGINT
// or SIGTERM, and writes one line per request ("site GET /path") to the log
// file and to stdout. A port of 0 takes a free one; the addresses in use are
// printed on stderr at start.
#include <pthread.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <mutex>
#include <stdexcept>
#include <string>

#include "tools/loopback_server/loopback_server.h"

namespace {

using velmora::loopback::LoopbackServer;
using velmora::loopback::RecordedRequest;

// Lines from both servers' connection threads go out whole and in order.
class RequestLogFile {
public:
    explicit RequestLogFile(const std::string& path) : file_(path, std::ios::app)
    {
        if (!file_)
            throw std::runtime_error("cannot open log file " + path);
    }

    void write(const std::string& server, const RecordedRequest& request)
    {
        const std::string line = server + " " + request.method + " " + request.target + "\n";
        std::lock_guard lock(mutex_);
        file_ << line << std::flush;
        std::cout << line << std::flush;
    }

private:
    std::mutex mutex_;
    std::ofstream file_;
};

std::uint16_t parsePort(const std::string& text)
{
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used);
    if (used != text.size() || value > 65535)
        throw std::invalid_argument("not a port: " + text);
    return static_cast<std::uint16_t>(value);
}

LoopbackServer::Options serverOptions(const char* root, const char* port, RequestLogFile& log,
                                      const std::string& name)
{
    LoopbackServer::Options options;
    options.root = root;
    options.port = parsePort(port);
    options.onRequest = [&log, name](const RecordedRequest& request) { log.write(name, request); };
    return options;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::cerr << "usage: velmora-demo-server SITE_DIR SITE_PORT QUOTE_DIR QUOTE_PORT LOG_FILE\n";
        return 2;
    }
    // Blocked before any server thread starts, so only sigwait() sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        RequestLogFile log(argv[5]);
        LoopbackServer site(serverOptions(argv[1], argv[2], log, "site"));
        LoopbackServer quote(serverOptions(argv[3], argv[4], log, "quote"));
        std::cerr << "site " << site.url("/") << "\nquote " << quote.url("/") << std::endl;

        int received = 0;
        sigwait(&stopSignals, &received);
        std::cerr << "stopping on signal " << received << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "velmora-demo-server: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
