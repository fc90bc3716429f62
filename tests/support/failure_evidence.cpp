#include "tests/support/failure_evidence.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

namespace velmora::test {

namespace {

std::string folderName(const ::testing::TestInfo& info)
{
    std::string name = std::string(info.test_suite_name()) + "." + info.name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

std::string runningTestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? folderName(*info) : "outside-tests";
}

}  // namespace

// Keeps the running test's folder, fills it at each failed assertion and
// empties it at the test's end unless the test failed. One for the program,
// owned by GoogleTest once appended to its listeners.
class EvidenceListener : public ::testing::EmptyTestEventListener {
public:
    static EvidenceListener& instance()
    {
        static EvidenceListener* const listener = [] {
            auto* created = new EvidenceListener;
            ::testing::UnitTest::GetInstance()->listeners().Append(created);
            return created;
        }();
        return *listener;
    }

    std::filesystem::path folder()
    {
        const std::string test = runningTestName();
        if (test != test_) {
            test_ = test;
            failures_ = 0;
            started_ = std::chrono::steady_clock::now();
            folder_ = std::filesystem::path(VELMORA_ARTIFACT_DIR) / test;
            std::filesystem::remove_all(folder_);
            std::filesystem::create_directories(folder_);
        }
        return folder_;
    }

    std::string time() const
    {
        const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_.load());
        char text[32];
        std::snprintf(text, sizeof text, "%.3f s", elapsed.count());
        return text;
    }

    std::vector<FailureWitness*> witnesses;

private:
    // Called with GoogleTest's own lock held: nothing here may ask GoogleTest
    // which test runs.
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (!result.failed() || test_.empty())
            return;
        const std::filesystem::path& dir = folder_;
        ++failures_;
        std::ofstream(dir / "failures.txt", std::ios::app)
            << "failure " << failures_ << " at " << time() << ", "
            << (result.file_name() ? result.file_name() : "?") << ":" << result.line_number() << "\n"
            << result.summary() << "\n\n";
        const std::string name = "failure-" + std::to_string(failures_);
        for (std::size_t i = 0; i < witnesses.size(); ++i)
            witnesses[i]->capture_(dir / (witnesses.size() == 1 ? name : name + "-" + std::to_string(i + 1)));
    }

    void OnTestEnd(const ::testing::TestInfo& info) override
    {
        if (test_ != folderName(info))
            return;
        if (info.result()->Failed())
            std::printf("Evidence of the failure: %s\n", folder_.c_str());
        else if (!std::getenv("VELMORA_KEEP_E2E_ARTIFACTS"))
            std::filesystem::remove_all(folder_);
        test_.clear();
    }

    std::string test_;
    std::filesystem::path folder_;
    // Read by the loopback servers' threads too (evidenceTime()).
    std::atomic<std::chrono::steady_clock::time_point> started_ = std::chrono::steady_clock::now();
    int failures_ = 0;
};

std::filesystem::path evidenceFolder()
{
    return EvidenceListener::instance().folder();
}

std::string evidenceTime()
{
    return EvidenceListener::instance().time();
}

FailureWitness::FailureWitness(std::function<void(const std::filesystem::path&)> capture)
    : capture_(std::move(capture))
{
    EvidenceListener::instance().witnesses.push_back(this);
}

FailureWitness::~FailureWitness()
{
    auto& witnesses = EvidenceListener::instance().witnesses;
    witnesses.erase(std::remove(witnesses.begin(), witnesses.end(), this), witnesses.end());
}

}  // namespace velmora::test
