#pragma once
// Where the certificate authority is kept when no directory is named.

#include <filesystem>

namespace tracewell::tls {

// "ca" in the user's data folder. Throws std::runtime_error when there is no home.
std::filesystem::path DefaultCaDirectory();

}  // namespace tracewell::tls
