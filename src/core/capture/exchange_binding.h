#pragma once
// The client's side of one exchange as the capture engine sees a browser: the bind
// information (verb and body) and the sink that receives the reports, and the
// binding that starts the exchange, pulls its body and ends it exactly once. Both
// protocol layers (the proxy, the DevTools layer) play the browser with these.
// While recording, the calls go through the capture engine's pass-through object;
// otherwise straight to the target.

#include <memory>
#include <string>

#include "capture/http_handler.h"
#include "capture/exchange_target.h"

namespace tracewell {

class CClientRequest final : public IBindInfo, public IProtocolSink {
 public:
  // `method` as the client sent it; `body` the bytes of its request body.
  CClientRequest(std::string_view method, std::string body);

  HResult GetBindInfo(std::uint32_t& flags, BindInfo& info) override;

  // The layer answers its client itself; the reports need no answer.
  HResult Switch() override { return hr::Ok; }
  HResult ReportProgress(std::uint32_t, std::u16string_view) override { return hr::Ok; }
  HResult ReportData(std::uint32_t, std::uint32_t, std::uint32_t) override { return hr::Ok; }
  HResult ReportResult(HResult, std::uint32_t, std::u16string_view) override { return hr::Ok; }

 private:
  BindInfo m_info;
};

class CExchangeBinding {
 public:
  // `app` is null while recording is off.
  CExchangeBinding(std::shared_ptr<CHttpHandlerAPP> app, std::shared_ptr<CExchangeTarget> target,
                   CClientRequest& client);
  // An exchange cut short (the connection went away) is aborted and ended.
  ~CExchangeBinding();
  CExchangeBinding(const CExchangeBinding&) = delete;
  CExchangeBinding& operator=(const CExchangeBinding&) = delete;

  void Start(std::u16string_view url);
  // Body bytes delivered to the target, through the pass-through object so that
  // they are counted; at most `size`.
  std::uint32_t Read(char* buffer, std::uint32_t size);
  // The response body, decoded, for the record (nothing while recording is off);
  // before End.
  void KeepResponseBody(std::string body);
  // The client went away before the exchange ended.
  void Abort();
  // Ends the exchange; later calls do nothing.
  void End();

  CExchangeTarget& Target() { return *m_target; }

 private:
  std::shared_ptr<CHttpHandlerAPP> m_app;
  std::shared_ptr<CExchangeTarget> m_target;
  CClientRequest& m_client;
  bool m_ended = false;
};

}  // namespace tracewell
