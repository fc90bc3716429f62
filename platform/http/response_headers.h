#pragma once
// The headers of a final response that a caller can ask for, keyed by their
// WinINet info level (HTTP_QUERY_...), kept as the server sent them,
// trimmed. A new response (after a redirect, or an interim 1xx) starts with
// none. No WinINet or internet.h here: both name the levels, as macros and
// as constants, and a backend includes only one of them.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace velmora {

class ResponseHeaders {
public:
    void clear() { values_.clear(); }
    void set(std::uint32_t infoLevel, std::string value) { values_[infoLevel] = std::move(value); }

    std::optional<std::string> get(std::uint32_t infoLevel) const
    {
        const auto found = values_.find(infoLevel);
        return found == values_.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

private:
    std::map<std::uint32_t, std::string> values_;
};

}  // namespace velmora
