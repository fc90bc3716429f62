#pragma once
// A scripted Internet: each URL has a response (refused, or a body delivered
// as a list of reads, with or without a Content-Length header). Records every
// call and which handles are open, so a test can check what was asked for
// and that every handle was closed exactly once.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/http/internet.h"

namespace velmora {

// What one read finds: bytes that have arrived (a read asking for fewer takes
// the front and leaves the rest for the next read), or a failed transfer.
struct FakeRead {
    std::string bytes;
    bool fails = false;

    static FakeRead data(std::string bytes) { return {std::move(bytes), false}; }
    static FakeRead block(std::size_t size, char fill = 'x') { return data(std::string(size, fill)); }
    static FakeRead failure() { return {{}, true}; }
};

struct FakeResponse {
    // InternetOpenUrl returns 0, as for an unreachable host or an error status.
    bool refused = false;
    std::optional<std::string> contentLength;
    // After the last entry every read succeeds with 0 bytes: the end of the body.
    std::vector<FakeRead> reads;
    // Other headers by their HTTP_QUERY_ level (the status as text among them).
    std::map<std::uint32_t, std::string> headers = {};
};

class FakeInternet final : public Internet {
public:
    struct QueryCall {
        std::uint32_t infoLevel;
        std::uint32_t bufferLength;
        std::uint32_t index;
        bool bufferWasEmpty;  // every byte NUL on entry
    };

    // A URL without a response is refused like an unknown host.
    void respond(const std::string& url, FakeResponse response) { responses_[url] = std::move(response); }

    // When set, answers every open in the place of respond(): a server
    // whose answer depends on the request's headers (a range, say).
    std::function<FakeResponse(const std::string& url, const std::string& headers)> answer;

    bool sessionFails = false;
    // Runs inside every InternetReadFile, before it answers.
    std::function<void()> onRead;

    std::vector<std::string> calls;  // operation names in order
    std::string agent;
    std::uint32_t accessType = 0xFFFFFFFFu;
    std::uint32_t sessionFlags = 0xFFFFFFFFu;
    std::vector<std::string> urlsOpened;
    std::vector<std::uint32_t> urlFlags;
    std::vector<std::string> urlHeaders;  // the extra request headers of every open
    std::vector<QueryCall> queries;
    std::vector<std::uint32_t> readSizes;  // toRead of every read
    std::vector<InternetHandle> closedHandles;
    int badCalls = 0;                      // handles used or closed while not open

    std::size_t openHandleCount() const { return sessions_.size() + requests_.size(); }
    int handlesOpened() const { return static_cast<int>(nextHandle_ - 1); }

    InternetHandle InternetOpen(const std::string& agentText, std::uint32_t access, std::uint32_t flags) override
    {
        calls.push_back("InternetOpen");
        agent = agentText;
        accessType = access;
        sessionFlags = flags;
        if (sessionFails)
            return 0;
        sessions_.insert(nextHandle_);
        return nextHandle_++;
    }

    InternetHandle InternetOpenUrl(InternetHandle session, const std::string& url, const std::string& headers,
                                   std::uint32_t flags, KeepWaiting keepWaiting) override
    {
        calls.push_back("InternetOpenUrl");
        waitHandler = std::move(keepWaiting);
        urlsOpened.push_back(url);
        urlHeaders.push_back(headers);
        urlFlags.push_back(flags);
        if (!sessions_.count(session)) {
            ++badCalls;
            return 0;
        }
        if (answer) {
            FakeResponse response = answer(url, headers);
            if (response.refused)
                return 0;
            requests_[nextHandle_] = Transfer{std::move(response), 0};
            return nextHandle_++;
        }
        const auto found = responses_.find(url);
        if (found == responses_.end() || found->second.refused)
            return 0;
        requests_[nextHandle_] = Transfer{found->second, 0};
        return nextHandle_++;
    }

    bool HttpQueryInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                       std::uint32_t& bufferLength, std::uint32_t& index) override
    {
        calls.push_back("HttpQueryInfo");
        queries.push_back({infoLevel, bufferLength, index,
                           std::all_of(buffer, buffer + bufferLength, [](char c) { return c == '\0'; })});
        Transfer* transfer = find(request);
        if (!transfer)
            return false;
        const auto other = transfer->response.headers.find(infoLevel);
        if (infoLevel != HTTP_QUERY_CONTENT_LENGTH && other == transfer->response.headers.end())
            return false;
        if (infoLevel == HTTP_QUERY_CONTENT_LENGTH && !transfer->response.contentLength)
            return false;
        const std::string& value =
            infoLevel == HTTP_QUERY_CONTENT_LENGTH ? *transfer->response.contentLength : other->second;
        if (value.size() + 1 > bufferLength) {
            bufferLength = static_cast<std::uint32_t>(value.size() + 1);
            return false;
        }
        std::memcpy(buffer, value.c_str(), value.size() + 1);
        bufferLength = static_cast<std::uint32_t>(value.size());
        return true;
    }

    bool InternetReadFile(InternetHandle request, void* buffer, std::uint32_t toRead,
                          std::uint32_t& bytesRead) override
    {
        calls.push_back("InternetReadFile");
        readSizes.push_back(toRead);
        bytesRead = 0;
        if (onRead)
            onRead();
        Transfer* transfer = find(request);
        if (!transfer)
            return false;
        std::vector<FakeRead>& reads = transfer->response.reads;
        if (transfer->next == reads.size())
            return true;
        FakeRead& read = reads[transfer->next];
        if (read.fails)
            return false;
        bytesRead = static_cast<std::uint32_t>(std::min<std::size_t>(toRead, read.bytes.size()));
        std::memcpy(buffer, read.bytes.data(), bytesRead);
        read.bytes.erase(0, bytesRead);
        if (read.bytes.empty())
            ++transfer->next;
        return true;
    }

    // The handler handed over with the last open, for the script of a slow
    // response to call while it makes a call wait.
    KeepWaiting waitHandler;

    void InternetCloseHandle(InternetHandle handle) override
    {
        calls.push_back("InternetCloseHandle");
        closedHandles.push_back(handle);
        if (!sessions_.erase(handle) && !requests_.erase(handle))
            ++badCalls;
    }

private:
    struct Transfer {
        FakeResponse response;
        std::size_t next;
    };

    Transfer* find(InternetHandle request)
    {
        const auto found = requests_.find(request);
        if (found == requests_.end()) {
            ++badCalls;
            return nullptr;
        }
        return &found->second;
    }

    std::map<std::string, FakeResponse> responses_;
    std::set<InternetHandle> sessions_;
    std::map<InternetHandle, Transfer> requests_;
    InternetHandle nextHandle_ = 1;
};

}  // namespace velmora
