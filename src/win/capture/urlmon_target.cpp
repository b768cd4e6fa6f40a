#include "capture/urlmon_target.h"

#include <wininet.h>

#include <vector>

#include "capture/target_sink.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

// Larger answers than this are refused rather than allocated.
constexpr DWORD kLargestQueryAnswer = 1u << 20;

}  // namespace

std::optional<std::u16string> CComUri::GetAbsoluteUri() const {
  BSTR text = nullptr;
  if (!m_uri || FAILED(m_uri->GetAbsoluteUri(&text)) || text == nullptr) return std::nullopt;
  std::u16string uri(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
  SysFreeString(text);
  return uri;
}

CUrlmonTarget::CUrlmonTarget(ComPtr<IInternetProtocol> handler)
    : m_handler(std::move(handler)), m_sink(ComPtr<CTargetSink>::Adopt(CTargetSink::Create())) {}

// The handler may still hold the sink; from now on its reports go nowhere.
CUrlmonTarget::~CUrlmonTarget() { m_sink->Detach(); }

void CUrlmonTarget::SetBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo) {
  m_sink->SetBrowser(sink, bindInfo);
}

HResult CUrlmonTarget::Start(std::u16string_view url, IProtocolSink& sink, IBindInfo&,
                             std::uint32_t flags) {
  m_sink->SetEngineSink(&sink);
  const std::wstring address = Wide(url);
  return HResult{m_handler->Start(address.c_str(), m_sink.Get(), m_sink.Get(), flags, 0)};
}

// The engine hands back the URI it was given, which is always ours.
HResult CUrlmonTarget::StartEx(const tracewell::IUri& uri, IProtocolSink& sink, IBindInfo&,
                               std::uint32_t flags) {
  const auto* browserUri = dynamic_cast<const CComUri*>(&uri);
  if (browserUri == nullptr) return hr::Unexpected;
  ComPtr<IInternetProtocolEx> handler;
  if (const HRESULT hr = m_handler.As(IID_IInternetProtocolEx, handler); FAILED(hr)) return HResult{hr};
  m_sink->SetEngineSink(&sink);
  return HResult{handler->StartEx(browserUri->Get(), m_sink.Get(), m_sink.Get(), flags, 0)};
}

HResult CUrlmonTarget::Read(char* buffer, std::uint32_t size, std::uint32_t& read) {
  ULONG got = 0;
  const HRESULT hr = m_handler->Read(buffer, size, &got);
  read = got;
  return HResult{hr};
}

HResult CUrlmonTarget::Abort(HResult reason, std::uint32_t options) {
  return HResult{m_handler->Abort(reason.value, options)};
}

HResult CUrlmonTarget::Terminate(std::uint32_t options) { return HResult{m_handler->Terminate(options)}; }

// The answer's bytes as the handler gives them; asked again with the size it names
// when the first buffer is too small.
std::optional<std::string> CUrlmonTarget::QueryInfo(std::uint32_t option) {
  ComPtr<IWinInetHttpInfo> info;
  if (FAILED(m_handler.As(IID_IWinInetHttpInfo, info))) return std::nullopt;
  std::vector<char> buffer(4096);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD flags = 0;
    const HRESULT hr = info->QueryInfo(option, buffer.data(), &size, &flags, nullptr);
    if (SUCCEEDED(hr) && hr != S_FALSE) return std::string(buffer.data(), std::min<std::size_t>(size, buffer.size()));
    if (size <= buffer.size() || size > kLargestQueryAnswer) return std::nullopt;
    buffer.resize(size);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> CUrlmonTarget::QueryRequestFlags() {
  ComPtr<IWinInetInfo> info;
  if (FAILED(m_handler.As(IID_IWinInetInfo, info))) return std::nullopt;
  DWORD flags = 0;
  DWORD size = sizeof(flags);
  if (info->QueryOption(INTERNET_OPTION_REQUEST_FLAGS, &flags, &size) != S_OK) return std::nullopt;
  return flags;
}

}  // namespace tracewell::win
