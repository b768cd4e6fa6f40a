#include "update/wininet_fetcher.h"

#include <windows.h>

#include <wininet.h>

#include <string>

#include "wide_text.h"

namespace tracewell::win {
namespace {

// Closes a WinINet handle when it goes out of scope.
class CInternetHandle {
 public:
  explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
  ~CInternetHandle() {
    if (m_handle != nullptr) InternetCloseHandle(m_handle);
  }
  CInternetHandle(const CInternetHandle&) = delete;
  CInternetHandle& operator=(const CInternetHandle&) = delete;
  HINTERNET Get() const { return m_handle; }

 private:
  HINTERNET m_handle;
};

}  // namespace

std::optional<std::uint32_t> CWinInetUpdateFetcher::ConnectedState() {
  DWORD state = 0;
  DWORD size = sizeof(state);
  if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_CONNECTED_STATE, &state, &size)) return std::nullopt;
  return state;
}

std::optional<std::string> CWinInetUpdateFetcher::ReadOnce(std::u16string_view url, std::u16string_view agent,
                                                           std::size_t maxBytes) {
  const CInternetHandle session(
      InternetOpenW(Wide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (session.Get() == nullptr) return std::nullopt;
  const CInternetHandle request(InternetOpenUrlW(
      session.Get(), Wide(url).c_str(), nullptr, 0,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY, 0));
  if (request.Get() == nullptr) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  DWORD read = 0;
  if (!InternetReadFile(request.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read)) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

}  // namespace tracewell::win
