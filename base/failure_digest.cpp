#include "base/failure_digest.h"

#include <algorithm>

namespace velmora {

void FailureDigest::add(std::string_view action, std::string_view reason)
{
    const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.action == action && e.reason == reason;
    });
    if (same != entries_.end()) {
        Entry repeated = *same;
        ++repeated.count;
        entries_.erase(same);
        entries_.push_back(std::move(repeated));
        return;
    }
    entries_.push_back({std::string(action), std::string(reason)});
}

std::string FailureDigest::text() const
{
    std::string out;
    const std::size_t hidden = entries_.size() > kMaxListed ? entries_.size() - kMaxListed : 0;
    for (std::size_t i = hidden; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        out += "「" + e.action + "」未能完成：\n" + e.reason;
        if (e.count > 1)
            out += "（共 " + std::to_string(e.count) + " 次）";
        out += "\n\n";
    }
    if (hidden > 0)
        out += "另有 " + std::to_string(hidden) + " 个较早的错误未列出。\n\n";
    out += "程序将继续运行。";
    return out;
}

}  // namespace velmora
