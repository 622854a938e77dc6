#pragma once

namespace sbk3 {

// What message boxes without a caption of their own show.
inline constexpr const char* kAppTitle = "Sumbrook 3";
inline constexpr const char* kAppVersion = "1.01.0001";
inline constexpr const char* kExecutableName = "SBK3";

} // namespace sbk3
