#include "tls/ca_directory.h"

#include "user_folders.h"

namespace tracewell::tls {

std::filesystem::path DefaultCaDirectory() { return UserDataDirectory() / "ca"; }

}  // namespace tracewell::tls
