#pragma once
// The pass-through protocol object of one request and its sink. The object starts
// the real (target) protocol with its own sink in between, so that every report
// reaches the browser unchanged while the request's record is filled in and each
// change is announced with the grid's column mask. The calls of one binding may come
// from different threads but never at the same time; bindings run in parallel.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "capture/cache_store.h"
#include "capture/capture_message.h"
#include "capture/protocol_layer.h"
#include "record/clock.h"

namespace tracewell {

class CHttpHandlerAPP;

class CPassthruSink final : public IProtocolSink, public IBindInfo {
 public:
  explicit CPassthruSink(CHttpHandlerAPP& protocol) : m_protocol(protocol) {}

  HResult Switch() override;
  HResult ReportProgress(std::uint32_t status, std::u16string_view text) override;
  HResult ReportData(std::uint32_t flags, std::uint32_t progress,
                     std::uint32_t progressMax) override;
  HResult ReportResult(HResult result, std::uint32_t error, std::u16string_view text) override;
  HResult GetBindInfo(std::uint32_t& flags, BindInfo& info) override;

  // Takes the browser's sink and bind information and the target for the binding.
  HResult Bind(IProtocolSink* browserSink, IBindInfo* bindInfo, ITargetProtocol* target);

 private:
  void OnRedirecting(std::u16string_view target);
  void OnSendingRequest();
  void OnResult(HResult result, std::uint32_t error);
  std::optional<std::string> QueryText(std::uint32_t option) const;
  std::optional<std::string> QueryHeaderBlock(std::uint32_t option) const;
  int QueryNumber(std::uint32_t option) const;
  bool ServedFromCache() const;

  CHttpHandlerAPP& m_protocol;
  IProtocolSink* m_browserSink = nullptr;
  IBindInfo* m_bindInfo = nullptr;
  ITargetProtocol* m_target = nullptr;
  bool m_bRequestSent = false;
  bool m_bRedirected = false;
};

class CHttpHandlerAPP {
 public:
  CHttpHandlerAPP(const IClock& clock, ICacheStore& cacheStore);
  CHttpHandlerAPP(const CHttpHandlerAPP&) = delete;
  CHttpHandlerAPP& operator=(const CHttpHandlerAPP&) = delete;

  HResult SetTarget(std::shared_ptr<ITargetProtocol> target);
  HResult SetNotifyWindow(std::shared_ptr<ICaptureNotifier> notifier);

  // The browser's calls. The browser's sink and bind information must stay valid
  // while the object lives.
  HResult Start(std::u16string_view url, IProtocolSink* browserSink, IBindInfo* bindInfo,
                std::uint32_t flags);
  HResult StartEx(const IUri* uri, IProtocolSink* browserSink, IBindInfo* bindInfo,
                  std::uint32_t flags);
  HResult Read(char* buffer, std::uint32_t size, std::uint32_t& read);
  HResult Abort(HResult reason, std::uint32_t options);
  HResult Terminate(std::uint32_t options);
  // The decoded response body of the current record, for a layer that is given it
  // whole (a browser); it travels with the record's last message.
  void KeepResponseBody(std::string body);
  // Options are answered by the target's layer, not through this object.
  HResult QueryOption() const { return hr::False; }

  CPassthruSink& Sink() { return m_sink; }

 private:
  friend class CPassthruSink;

  void BeginRecord(std::u16string url, IBindInfo* bindInfo);
  void ReadBindInfo(IBindInfo* bindInfo);
  HResult StartTarget(IProtocolSink* browserSink, IBindInfo* bindInfo,
                      const auto& startTarget);
  // A new current record for the next hop of a redirect, announced as started.
  void BeginFollowUpRecord(std::u16string url);
  CHttpTransaction& Current() { return *m_record; }
  void PostStarted();
  void PostUpdate(std::uint32_t mask, FieldSet fields, bool lastForRecord = false);
  SystemTime Now() const { return m_clock.LocalNow(); }

  const IClock& m_clock;
  ICacheStore& m_cacheStore;
  std::shared_ptr<ITargetProtocol> m_target;
  std::shared_ptr<ICaptureNotifier> m_notifier;
  std::unique_ptr<CHttpTransaction> m_record;
  std::uint64_t m_recordId = 0;
  std::uint32_t m_readCount = 0;
  IProtocolSink* m_browserSink = nullptr;
  IBindInfo* m_browserBindInfo = nullptr;
  bool m_finished = false;
  CPassthruSink m_sink;
};

}  // namespace tracewell
