#pragma once
// What the failure dialog says when failures come faster than the user reads
// them: one dialog lists the distinct failures, the newest last, and counts
// repeats instead of showing them again.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FailureDigest {
public:
    static constexpr std::size_t kMaxListed = 5;

    void add(std::string_view action, std::string_view reason);
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

    // The dialog's text: one paragraph per distinct failure (at most
    // kMaxListed, the newest), a line for those left out, and the reassurance
    // that the program goes on.
    std::string text() const;

private:
    struct Entry {
        std::string action;
        std::string reason;
        int count = 1;
    };
    std::vector<Entry> entries_;
};

}  // namespace velmora
