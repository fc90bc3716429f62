#pragma once
// The user's own folder for the program, where a program that cannot write
// its own folder (installed in /usr/bin, or under Program Files without
// elevation) keeps what it downloads, and the test of whether a folder can
// be written at all.
#include <string>

namespace velmora {

struct UserFolder {
    std::string path;   // absolute, without a trailing separator
    std::string shown;  // as the user knows it: "~/.local/share/velmora", "%LOCALAPPDATA%\Velmora"
};

// Names the folder and creates it, with any missing parents, for this user
// only where the system has such a notion. POSIX: $XDG_DATA_HOME/velmora
// when XDG_DATA_HOME is an absolute path, else $HOME/.local/share/velmora.
// Windows: %LOCALAPPDATA%\Velmora. Throws PlatformError when the variable it
// needs is missing or the folder cannot be created.
UserFolder userFolder();

// True when this process can create a file in folder. Asked by creating one
// (removed at once): permission bits, ACLs, read-only file systems and
// elevation each have their say, and only the attempt hears them all.
bool canCreateFilesIn(const std::string& folder);

}  // namespace velmora
