#include "capture/browser_adapters.h"

#include <algorithm>
#include <string>

namespace tracewell::win {
namespace {

// A text for the browser: NUL-terminated, and none at all for an empty one.
class CWideText {
 public:
  explicit CWideText(std::u16string_view text) : m_text(text.begin(), text.end()) {}
  LPCWSTR Get() const { return m_text.empty() ? nullptr : m_text.c_str(); }

 private:
  std::wstring m_text;
};

std::string GlobalBytes(HGLOBAL global, DWORD declared) {
  const auto* bytes = static_cast<const char*>(GlobalLock(global));
  if (bytes == nullptr) return {};
  const std::size_t size = std::min<std::size_t>(declared, GlobalSize(global));
  std::string data(bytes, size);
  GlobalUnlock(global);
  return data;
}

}  // namespace

HResult CBrowserSink::ReportProgress(std::uint32_t status, std::u16string_view text) {
  if (!m_sink) return hr::Unexpected;
  return HResult{m_sink->ReportProgress(status, CWideText(text).Get())};
}

HResult CBrowserSink::ReportData(std::uint32_t flags, std::uint32_t progress, std::uint32_t progressMax) {
  if (!m_sink) return hr::Unexpected;
  return HResult{m_sink->ReportData(flags, progress, progressMax)};
}

HResult CBrowserSink::ReportResult(HResult result, std::uint32_t error, std::u16string_view text) {
  if (!m_sink) return hr::Unexpected;
  return HResult{m_sink->ReportResult(result.value, error, CWideText(text).Get())};
}

std::optional<std::uint64_t> CStreamPostData::Size() {
  STATSTG stat{};
  if (FAILED(m_stream->Stat(&stat, STATFLAG_NONAME))) return std::nullopt;
  return stat.cbSize.QuadPart;
}

std::uint32_t CStreamPostData::Read(char* dest, std::uint32_t count) {
  ULONG read = 0;
  if (FAILED(m_stream->Read(dest, count, &read))) return 0;
  return read;
}

void CBrowserBindInfo::Reset() {
  m_bindInfo.Reset();
  m_postStream.reset();
}

HResult CBrowserBindInfo::GetBindInfo(std::uint32_t& flags, BindInfo& info) {
  if (!m_bindInfo) return hr::Unexpected;
  BINDINFO bind{};
  bind.cbSize = sizeof(bind);
  DWORD bindFlags = 0;
  if (const HRESULT hr = m_bindInfo->GetBindInfo(&bindFlags, &bind); FAILED(hr)) return HResult{hr};
  flags = bindFlags;
  info = {};
  info.verb = bind.dwBindVerb;
  info.medium = bind.stgmedData.tymed;
  if (bind.szCustomVerb != nullptr) {
    info.customVerb = reinterpret_cast<const char16_t*>(bind.szCustomVerb);
  }
  m_postStream.reset();
  if (bind.stgmedData.tymed == TYMED_HGLOBAL && bind.stgmedData.hGlobal != nullptr) {
    info.globalData = GlobalBytes(bind.stgmedData.hGlobal, bind.cbstgmedData);
  } else if (bind.stgmedData.tymed == TYMED_ISTREAM && bind.stgmedData.pstm != nullptr) {
    ComPtr<IStream> clone;
    // A stream that cannot be cloned is not read: the handler must still send it whole.
    if (SUCCEEDED(bind.stgmedData.pstm->Clone(clone.Receive()))) {
      m_postStream.emplace(std::move(clone));
      info.stream = &*m_postStream;
    }
  }
  ReleaseBindInfo(&bind);
  return hr::Ok;
}

}  // namespace tracewell::win
