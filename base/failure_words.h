#pragma once
// The words the user reads for each class of failure: one table for every
// backend, so a refused connection reads the same on libcurl and WinINet.
#include <string_view>

#include "platform/system/failure_class.h"

namespace velmora {

// Plain Chinese for a user, with what to do where there is something to do;
// empty for Unclassified, where the failed attempt says it all.
std::string_view failureWords(FailureClass failureClass);

}  // namespace velmora
