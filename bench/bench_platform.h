#pragma once
// The desktop platform as the benchmarks run the real windows on it: the
// program's folder moved to one of the benchmark's own and the yields
// counted, and failures printed instead of shown.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "base/failure_handler.h"
#include "platform/platform.h"

namespace velmora::bench {

class PrintingFailureHandler final : public FailureHandler {
public:
    void report(const Failure& failure) override
    {
        std::fprintf(stderr, "failure: %s: %s: %s\n", failure.action.c_str(), failure.attempt.c_str(),
                     failure.detail.c_str());
        ++count;
    }
    int count = 0;
};

class CountingPump final : public MessagePump {
public:
    explicit CountingPump(MessagePump& pump) : pump_(pump) {}
    void DoEvents() override
    {
        ++calls;
        pump_.DoEvents();
    }
    long long calls = 0;

private:
    MessagePump& pump_;
};

// The desktop platform with the program's folder moved to FOLDER and its
// yields counted.
class BenchPlatform final : public Platform {
public:
    BenchPlatform(Platform& desktop, std::string folder)
        : desktop_(desktop), folder_(std::move(folder)), pump_(desktop.messagePump()) {}

    std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) override
    {
        return desktop_.createBrowserPane(parent);
    }
    std::unique_ptr<TransferControl> createTransferControl() override { return desktop_.createTransferControl(); }
    std::unique_ptr<Internet> createInternet(const TransferLimits& limits) override { return desktop_.createInternet(limits); }
    std::unique_ptr<SignatureVerifier> createSignatureVerifier() override
    {
        return desktop_.createSignatureVerifier();
    }
    WindowStacking& windowStacking() override { return desktop_.windowStacking(); }
    MessageBox& messageBox() override { return desktop_.messageBox(); }
    Shell& shell() override { return desktop_.shell(); }
    Clock& clock() override { return desktop_.clock(); }
    MessagePump& messagePump() override { return pump_; }
    FileSystem& fileSystem() override { return desktop_.fileSystem(); }
    std::string programFolder() override { return folder_; }
    UserFolder userFolder() override { return desktop_.userFolder(); }
    bool canCreateFilesIn(const std::string& folder) override { return desktop_.canCreateFilesIn(folder); }

    long long yields() const { return pump_.calls; }

private:
    Platform& desktop_;
    std::string folder_;
    CountingPump pump_;
};

}  // namespace velmora::bench
