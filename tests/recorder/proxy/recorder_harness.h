#pragma once
// The recorder as a test drives it: listening on a free loopback port with recording
// on and short timeouts, names resolved only by the test, and the receiving end that
// the window would be, keeping the records in arrival order.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "recorder.h"
#include "system_clock.h"

namespace tracewell::testing {

// Names the test knows; every other name is not found. Nothing reaches a DNS server.
class FakeResolver final : public proxy::IHostResolver {
 public:
  void Add(std::string name, std::string address);
  proxy::Task<proxy::ResolveResult> Resolve(std::string host, std::uint16_t port) override;

 private:
  std::mutex m_mutex;  // the proxy's threads look names up while a test adds them
  std::map<std::string, std::string> m_addresses;  // name -> literal address
};

proxy::ProxyOptions TestProxyOptions();

class RecorderHarness final : public ITransactionHandler {
 public:
  explicit RecorderHarness(proxy::ProxyOptions options = TestProxyOptions());
  ~RecorderHarness() override;

  std::string ProxyAddress() const;  // "127.0.0.1:port"
  unsigned short Port() const { return m_recorder->Endpoint().port(); }
  CRecorder& Recorder() { return *m_recorder; }

  // Waits (up to 10 s) until `count` records have finished; the records so far.
  const TransactionArray& WaitForFinished(std::size_t count);
  // Ends the recorder as the command does on Ctrl+C, then takes the last messages.
  const TransactionArray& Shutdown(std::chrono::milliseconds grace);
  std::size_t Finished() const { return m_finished; }
  // The column masks of the update messages each record got, in order.
  const std::vector<std::uint32_t>& Masks(const CHttpTransaction& record) { return m_masks[&record]; }

  void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) override;
  void OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) override;

  FakeResolver resolver;

 private:
  void Drain();

  SystemClock m_clock;
  std::shared_ptr<CCaptureQueue> m_queue = std::make_shared<CCaptureQueue>();
  CCaptureReceiver m_receiver{*this};
  std::unique_ptr<CRecorder> m_recorder;
  TransactionArray m_records;
  std::map<const CHttpTransaction*, std::vector<std::uint32_t>> m_masks;
  std::size_t m_finished = 0;
};

struct CommandResult {
  int exitCode;
  std::string output;
};

// curl through the proxy with `arguments`; standard output only, at most 20 s.
CommandResult Curl(const std::string& proxyAddress, const std::string& arguments);

// Sends `request` to the proxy on a raw connection and reads until the proxy closes
// it or `readLimit` bytes have come; then closes.
std::string RawExchange(unsigned short port, std::string_view request,
                        std::size_t readLimit = std::string::npos);

}  // namespace tracewell::testing
