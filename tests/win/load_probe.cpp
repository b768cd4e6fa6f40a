// Tries to load tracewell.dll (beside this program) and says whether the library let
// itself be loaded into a process of this name.
#include <windows.h>

#include <cstdio>

int main() {
  const HMODULE library = LoadLibraryW(L"tracewell.dll");
  if (library == nullptr) {
    std::printf("refused (error %lu)\n", GetLastError());
    return 0;
  }
  std::printf("loaded\n");
  FreeLibrary(library);
  return 0;
}
