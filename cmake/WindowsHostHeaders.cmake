# nlohmann-json is header-only and the same for every target, so the Windows build
# takes the build machine's copy. Only its own folder is put on the include path: the
# machine's /usr/include would shadow mingw-w64's C library headers.
find_path(TRACEWELL_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
file(CREATE_LINK ${TRACEWELL_NLOHMANN_INCLUDE}/nlohmann ${host_headers}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${host_headers})
