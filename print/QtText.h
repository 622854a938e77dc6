#pragma once

#include <QString>

#include <string_view>

namespace sbk3 {

// The program keeps text as UTF-8 below the windows; this is where it becomes Qt's.
inline QString fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace sbk3
