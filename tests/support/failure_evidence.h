#pragma once
// What an end-to-end test leaves behind when it fails, in a folder of its
// own under the build's artifact folder, named <suite>.<test>: the screen of
// every X session alive at each failed assertion (failure-<n>.png), what the
// failures said (failures.txt), and whatever the test's helpers wrote there
// (the programs' output, the requests the loopback servers received).
//
// A test that passes or is skipped leaves nothing, unless the environment
// sets VELMORA_KEEP_E2E_ARTIFACTS (for looking at a green run's pictures).
// Used from the test's own thread only, but for evidenceTime().
#include <filesystem>
#include <functional>
#include <string>

namespace velmora::test {

// The running test's folder, emptied of an earlier run's files the first time
// it is asked for in a test.
std::filesystem::path evidenceFolder();

// The time since that first time, as "12.345 s": what lines up the entries of
// the folder's files with one another. Safe from any thread.
std::string evidenceTime();

// While alive, is asked for its part of the evidence at each failed
// assertion of the running test: for what only exists at that moment, such
// as the screen. capture gets the path it may write, without an extension.
class FailureWitness {
public:
    explicit FailureWitness(std::function<void(const std::filesystem::path&)> capture);
    ~FailureWitness();
    FailureWitness(const FailureWitness&) = delete;
    FailureWitness& operator=(const FailureWitness&) = delete;

private:
    std::function<void(const std::filesystem::path&)> capture_;
    friend class EvidenceListener;
};

}  // namespace velmora::test
