#pragma once
// Entries put into the WinINet cache of the test prefix as the browser puts them
// there (a file the cache names, then committed under its URL), cookies set to last,
// and what the cache holds read back. Each test uses host names of its own
// (".cache.test", never resolved) and removes what it added.

#include <windows.h>

#include <wininet.h>

#include <string>
#include <string_view>
#include <vector>

namespace tracewell::win::test {

// Stores `bytes` as the cached response for `url` with the file extension `extension`;
// the cached file's path, empty when the cache refused.
inline std::wstring PutInUrlCache(const std::wstring& url, std::string_view bytes, const std::wstring& extension) {
  wchar_t path[MAX_PATH] = {};
  if (!CreateUrlCacheEntryW(url.c_str(), static_cast<DWORD>(bytes.size()), extension.c_str(), path, 0)) return {};
  const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  const wchar_t headers[] = L"HTTP/1.1 200 OK\r\n\r\n";
  const FILETIME never{};
  if (!CommitUrlCacheEntryW(url.c_str(), path, never, never, NORMAL_CACHE_ENTRY, const_cast<wchar_t*>(headers),
                            static_cast<DWORD>(std::size(headers) - 1), nullptr, nullptr)) {
    return {};
  }
  return path;
}

inline bool IsInUrlCache(const std::wstring& name) {
  DWORD size = 0;
  GetUrlCacheEntryInfoW(name.c_str(), nullptr, &size);
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// A cookie kept past the session, so that the cache holds it as an entry.
inline bool SetLastingCookie(const std::wstring& url, const std::wstring& nameAndValue) {
  const std::wstring cookie = nameAndValue + L"; expires=Fri, 31 Dec 2100 23:59:59 GMT";
  return InternetSetCookieW(url.c_str(), nullptr, cookie.c_str()) != FALSE;
}

// The names of the entries the cache enumerates for `pattern` (null: all).
inline std::vector<std::wstring> UrlCacheNames(const wchar_t* pattern) {
  std::vector<std::wstring> names;
  std::vector<BYTE> buffer(64 * 1024);
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
  DWORD size = static_cast<DWORD>(buffer.size());
  const HANDLE find = FindFirstUrlCacheEntryW(pattern, info, &size);
  if (find == nullptr) return names;
  do {
    names.emplace_back(info->lpszSourceUrlName);
    size = static_cast<DWORD>(buffer.size());
  } while (FindNextUrlCacheEntryW(find, info, &size));
  FindCloseUrlCache(find);
  return names;
}

}  // namespace tracewell::win::test
