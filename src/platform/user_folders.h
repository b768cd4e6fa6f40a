#pragma once
// Where Tracewell keeps what it makes for the user on Linux.

#include <filesystem>

namespace tracewell {

// $XDG_DATA_HOME/tracewell when XDG_DATA_HOME is set and absolute, else
// $HOME/.local/share/tracewell, with the home from the password database when HOME is
// unset. Throws std::runtime_error when there is no home at all.
std::filesystem::path UserDataDirectory();

// $XDG_CACHE_HOME/tracewell when XDG_CACHE_HOME is set and absolute, else
// $HOME/.cache/tracewell, the home found as above.
std::filesystem::path UserCacheDirectory();

}  // namespace tracewell
