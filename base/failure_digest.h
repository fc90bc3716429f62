#pragma once
// What the failure dialog says when failures come faster than the user reads
// them: one dialog lists the distinct failures, the newest last, and counts
// repeats instead of showing them again.
#include <cstddef>
#include <string>
#include <vector>

#include "base/failure.h"

namespace velmora {

class FailureDigest {
public:
    static constexpr std::size_t kMaxListed = 5;

    void add(const Failure& failure);
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

    // The dialog's text, all in the user's words: one paragraph per distinct
    // failure (at most kMaxListed, the newest), a line for those left out,
    // and the reassurance that the program goes on.
    std::string text() const;

    // What stands behind the details button: the library's or system's own
    // text of each failure listed that has one. Empty when none has.
    std::string details() const;

private:
    struct Entry {
        Failure failure;
        int count = 1;
    };
    std::size_t firstListed() const;

    std::vector<Entry> entries_;
};

}  // namespace velmora
