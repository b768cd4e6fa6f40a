#pragma once
// The browser's sink and bind information as the capture engine sees them: reports
// from the engine go to the browser's COM sink; the engine reads the request's verb
// and body from the browser's BINDINFO.

#include <windows.h>

#include <urlmon.h>

#include <optional>

#include "capture/protocol_layer.h"
#include "com_ptr.h"

namespace tracewell::win {

class CBrowserSink final : public IProtocolSink {
 public:
  void Set(IInternetProtocolSink* sink) { m_sink = ComPtr<IInternetProtocolSink>::Retain(sink); }
  void Reset() { m_sink.Reset(); }

  // Thread switches do not go through the engine (the target's sink passes them to
  // the browser itself), so this is never asked for.
  HResult Switch() override { return hr::Unexpected; }
  HResult ReportProgress(std::uint32_t status, std::u16string_view text) override;
  HResult ReportData(std::uint32_t flags, std::uint32_t progress, std::uint32_t progressMax) override;
  HResult ReportResult(HResult result, std::uint32_t error, std::u16string_view text) override;

 private:
  ComPtr<IInternetProtocolSink> m_sink;
};

// A body given as a stream, read through a clone so that the handler still finds the
// stream where the browser left it.
class CStreamPostData final : public IPostDataStream {
 public:
  explicit CStreamPostData(ComPtr<IStream> stream) : m_stream(std::move(stream)) {}
  std::optional<std::uint64_t> Size() override;
  std::uint32_t Read(char* dest, std::uint32_t count) override;

 private:
  ComPtr<IStream> m_stream;
};

class CBrowserBindInfo final : public IBindInfo {
 public:
  void Set(IInternetBindInfo* bindInfo) { m_bindInfo = ComPtr<IInternetBindInfo>::Retain(bindInfo); }
  void Reset();

  HResult GetBindInfo(std::uint32_t& flags, BindInfo& info) override;

 private:
  ComPtr<IInternetBindInfo> m_bindInfo;
  std::optional<CStreamPostData> m_postStream;  // what the last BindInfo's stream points at
};

}  // namespace tracewell::win
