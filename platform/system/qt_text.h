#pragma once
// The program keeps its texts as UTF-8 in std::string; Qt wants QString.
#include <string_view>

#include <QString>

namespace velmora {

inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace velmora
