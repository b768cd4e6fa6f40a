#pragma once
// A scripted protocol layer for the capture engine: a target whose Start runs a
// script of reports against the sink it is given, a browser that answers reports,
// an in-memory cache store, and a main window that keeps what it receives.

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "capture/http_handler.h"
#include "support/fake_clock.h"

namespace tracewell::testing {

class FakeTarget final : public ITargetProtocol {
 public:
  using Script = std::function<void(IProtocolSink&)>;
  Script script;
  std::map<std::uint32_t, std::string> answers;  // QueryInfo option -> text
  std::optional<std::uint32_t> requestFlags;
  std::string body;  // what Read hands out
  HResult startResult = hr::Ok;
  int terminates = 0;

  HResult Start(std::u16string_view, IProtocolSink& sink, IBindInfo&, std::uint32_t) override {
    if (script) script(sink);
    return startResult;
  }
  HResult StartEx(const IUri&, IProtocolSink& sink, IBindInfo&, std::uint32_t) override {
    if (script) script(sink);
    return startResult;
  }
  HResult Read(char* buffer, std::uint32_t size, std::uint32_t& read) override {
    read = static_cast<std::uint32_t>(std::min<std::size_t>(size, body.size() - m_readAt));
    std::copy_n(body.data() + m_readAt, read, buffer);
    m_readAt += read;
    return read == 0 ? hr::False : hr::Ok;
  }
  HResult Abort(HResult, std::uint32_t) override { return hr::Ok; }
  HResult Terminate(std::uint32_t) override {
    ++terminates;
    return hr::Ok;
  }
  std::optional<std::string> QueryInfo(std::uint32_t option) override {
    const auto it = answers.find(option);
    if (it == answers.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::uint32_t> QueryRequestFlags() override { return requestFlags; }

 private:
  std::size_t m_readAt = 0;
};

// The browser's side of a binding: counts forwarded reports.
class FakeBrowser final : public IProtocolSink, public IBindInfo {
 public:
  BindInfo info;
  HResult bindInfoResult = hr::Ok;
  std::vector<std::uint32_t> progress;
  int dataReports = 0;
  int results = 0;

  HResult Switch() override { return hr::Ok; }
  HResult ReportProgress(std::uint32_t status, std::u16string_view) override {
    progress.push_back(status);
    return hr::Ok;
  }
  HResult ReportData(std::uint32_t, std::uint32_t, std::uint32_t) override {
    ++dataReports;
    return hr::Ok;
  }
  HResult ReportResult(HResult, std::uint32_t, std::u16string_view) override {
    ++results;
    return hr::Ok;
  }
  HResult GetBindInfo(std::uint32_t& flags, BindInfo& out) override {
    flags = 0;
    out = info;
    return bindInfoResult;
  }
};

class FakeCacheStore final : public ICacheStore {
 public:
  std::map<std::u16string, CacheEntrySnapshot> entries;
  std::uint32_t growBy = 0;  // the size the entry gains between the two queries

  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                        std::uint32_t& bufferSize) override {
    const auto it = entries.find(std::u16string(url));
    if (it == entries.end()) return CacheQueryStatus::kFailed;
    const auto needed = static_cast<std::uint32_t>(100 + it->second.SourceUrlName.size() * 2) +
                        (entry != nullptr ? growBy : 0);
    if (entry == nullptr || bufferSize < needed) {
      bufferSize = needed;
      return CacheQueryStatus::kInsufficientBuffer;
    }
    *entry = it->second;
    return CacheQueryStatus::kOk;
  }
};

// One step the main window saw: a record started, or an update of the cells its mask
// names. A failed comparison prints the steps by name: Started, Updated{Result|Type}.
struct WindowStep {
  bool started = false;
  std::uint32_t mask = 0;
  friend bool operator==(const WindowStep&, const WindowStep&) = default;
};
inline constexpr WindowStep Started{true, 0};
constexpr WindowStep Updated(std::uint32_t mask) { return {false, mask}; }

inline void PrintTo(const WindowStep& step, std::ostream* out) {
  if (step.started) {
    *out << "Started";
    return;
  }
  static constexpr const char* kNames[] = {"No.", "Started", "Duration", "Sent", "Method", "Result",
                                           "Size", "Type", "Url", "IpAddress", "Finished"};
  *out << "Updated{";
  const char* separator = "";
  for (std::size_t bit = 0; bit < std::size(kNames); ++bit) {
    if (step.mask & (1u << bit)) {
      *out << separator << kNames[bit];
      separator = "|";
    }
  }
  *out << "}";
}

// The main window's end: owns what it receives and logs each step.
class FakeWindow final : public ITransactionHandler {
 public:
  TransactionArray session;
  std::vector<WindowStep> log;

  void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) override {
    log.push_back(Started);
    session.push_back(std::move(record));
  }
  void OnTransactionUpdated(CHttpTransaction&, std::uint32_t mask) override {
    log.push_back(Updated(mask));
  }
};

// Posts straight into a receiver on the same thread.
class DirectNotifier final : public ICaptureNotifier {
 public:
  explicit DirectNotifier(CCaptureReceiver& receiver) : m_receiver(receiver) {}
  void Post(CaptureMessage message) override { m_receiver.Deliver(std::move(message)); }

 private:
  CCaptureReceiver& m_receiver;
};

}  // namespace tracewell::testing
