#pragma once
// Where the certificate authority is kept when no directory is named.

#include <filesystem>

namespace tracewell::tls {

// $XDG_DATA_HOME/tracewell/ca when XDG_DATA_HOME is set and absolute, else
// $HOME/.local/share/tracewell/ca, with the home from the password database when HOME
// is unset. Throws std::runtime_error when there is no home at all.
std::filesystem::path DefaultCaDirectory();

}  // namespace tracewell::tls
