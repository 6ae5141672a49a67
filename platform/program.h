// Who the program is: the name its windows and banners carry, and its version
// (major.minor.release.build), compiled in from the project version.
#pragma once

namespace torvex {

inline constexpr char kProgramTitle[] = "TORVEXNT";

inline constexpr int kVersionMajor = TORVEX_VERSION_MAJOR;
inline constexpr int kVersionMinor = TORVEX_VERSION_MINOR;
inline constexpr int kVersionRelease = TORVEX_VERSION_RELEASE;
inline constexpr int kVersionBuild = TORVEX_VERSION_BUILD;

}  // namespace torvex
