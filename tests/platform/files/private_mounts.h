#pragma once
// Small file systems a test mounts for itself: a tmpfs of a given size (a
// disk that fills up) and one remounted read-only (a folder that cannot be
// written, whoever runs the test: root passes permission bits but not a
// read-only mount). They live in a mount namespace of the test process's
// own, so nothing outside ever sees them and they vanish with the process.
#include <cstddef>
#include <filesystem>
#include <string>

namespace velmora {

// Moves this process into a mount namespace of its own: directly when it may
// (root), else inside a user namespace of its own where the system allows
// unprivileged ones. Must be called while the process has a single thread.
// Returns an empty string on success, else why it could not.
std::string enterPrivateMountNamespace();

// Throw std::system_error.
void mountTmpfs(const std::filesystem::path& at, std::size_t bytes);
void remountReadOnly(const std::filesystem::path& at);
// Detaches whatever is mounted at at; nothing when nothing is.
void unmount(const std::filesystem::path& at);

}  // namespace velmora
