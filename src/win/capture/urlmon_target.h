#pragma once
// The browser's default http or https handler as the capture engine's target
// protocol. The engine starts it with its own sink in between; that sink reaches the
// handler as CTargetSink, which passes the engine what it observes (progress, data,
// result) and sends everything else straight to the browser's own sink and bind
// information: thread switches, bind strings, services.

#include <windows.h>

#include <urlmon.h>

#include <memory>
#include <mutex>

#include "capture/protocol_layer.h"
#include "com_ptr.h"

namespace tracewell::win {

class CTargetSink;

// The browser's IUri handed to the engine, so that StartEx can give it back.
class CComUri final : public IUri {
 public:
  explicit CComUri(::IUri* uri) : m_uri(ComPtr<::IUri>::Retain(uri)) {}
  std::optional<std::u16string> GetAbsoluteUri() const override;
  ::IUri* Get() const { return m_uri.Get(); }

 private:
  ComPtr<::IUri> m_uri;
};

class CUrlmonTarget final : public ITargetProtocol {
 public:
  explicit CUrlmonTarget(ComPtr<IInternetProtocol> handler);
  ~CUrlmonTarget() override;
  CUrlmonTarget(const CUrlmonTarget&) = delete;
  CUrlmonTarget& operator=(const CUrlmonTarget&) = delete;

  // The browser's sink and bind information for the coming Start (null: let go).
  void SetBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo);
  // The handler itself, for the calls that pass the engine by.
  IInternetProtocol* Handler() const { return m_handler.Get(); }

  HResult Start(std::u16string_view url, IProtocolSink& sink, IBindInfo& bindInfo,
                std::uint32_t flags) override;
  HResult StartEx(const tracewell::IUri& uri, IProtocolSink& sink, IBindInfo& bindInfo,
                  std::uint32_t flags) override;
  HResult Read(char* buffer, std::uint32_t size, std::uint32_t& read) override;
  HResult Abort(HResult reason, std::uint32_t options) override;
  HResult Terminate(std::uint32_t options) override;
  std::optional<std::string> QueryInfo(std::uint32_t option) override;
  std::optional<std::uint32_t> QueryRequestFlags() override;

 private:
  ComPtr<IInternetProtocol> m_handler;
  ComPtr<CTargetSink> m_sink;
};

}  // namespace tracewell::win
