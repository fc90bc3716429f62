#include "base/failure_digest.h"

#include <algorithm>

#include "base/failure_words.h"

namespace velmora {

namespace {

std::string repeats(int count)
{
    return count > 1 ? "（共 " + std::to_string(count) + " 次）" : std::string();
}

}  // namespace

void FailureDigest::add(const Failure& failure)
{
    const auto same =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.failure == failure; });
    if (same != entries_.end()) {
        Entry repeated = *same;
        ++repeated.count;
        entries_.erase(same);
        entries_.push_back(std::move(repeated));
        return;
    }
    entries_.push_back({failure});
}

std::size_t FailureDigest::firstListed() const
{
    return entries_.size() > kMaxListed ? entries_.size() - kMaxListed : 0;
}

std::string FailureDigest::text() const
{
    std::string out;
    for (std::size_t i = firstListed(); i < entries_.size(); ++i) {
        const Failure& f = entries_[i].failure;
        out += "「" + f.action + "」未能完成：\n" + f.attempt;
        if (const std::string_view words = failureWords(f.failureClass); !words.empty())
            out += "：" + std::string(words);
        out += repeats(entries_[i].count) + "\n\n";
    }
    if (const std::size_t hidden = firstListed(); hidden > 0)
        out += "另有 " + std::to_string(hidden) + " 个较早的错误未列出。\n\n";
    out += "程序将继续运行。";
    return out;
}

std::string FailureDigest::details() const
{
    std::string out;
    for (std::size_t i = firstListed(); i < entries_.size(); ++i) {
        const Failure& f = entries_[i].failure;
        if (f.detail.empty())
            continue;
        if (!out.empty())
            out += "\n";
        out += f.attempt + "：" + f.detail + repeats(entries_[i].count) + "\n";
    }
    return out;
}

}  // namespace velmora
