#pragma once

#include "common/Version.h" // kAppVersion, from the project's version

namespace sbk3 {

// What message boxes without a caption of their own show.
inline constexpr const char* kAppTitle = "Sumbrook 3";
inline constexpr const char* kExecutableName = "SBK3";
// The desktop file's name without .desktop; also the AppStream id.
inline constexpr const char* kDesktopFileName = "io.sumbrook.sbk3";

} // namespace sbk3
