#pragma once
// The proxy variables a test sets for its requests, put back as they stood
// when it ends, whichever way it ends.
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

// HTTP_PROXY and no_proxy as given, their other spellings unset.
class ProxyEnvironment {
public:
    ProxyEnvironment(const std::optional<std::string>& httpProxy, const std::string& noProxy)
    {
        set("HTTP_PROXY", httpProxy);
        set("http_proxy", std::nullopt);
        set("no_proxy", noProxy);
        set("NO_PROXY", std::nullopt);
    }
    ~ProxyEnvironment()
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    ProxyEnvironment(const ProxyEnvironment&) = delete;
    ProxyEnvironment& operator=(const ProxyEnvironment&) = delete;

private:
    void set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace velmora
