#pragma once
// The program's own folder and how paths in it are made.
#include <string>

namespace velmora {

// The folder that holds the program's own executable, without a trailing
// separator.
std::string programFolder();

// What separates a folder from the names in it on this platform.
extern const char kPathSeparator;

// folder, the separator and name. A folder that already ends in the
// separator (a root) gets no second one.
inline std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == kPathSeparator)
        return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace velmora
