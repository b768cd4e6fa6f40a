#pragma once
// The recorder as a test drives it: listening on a free loopback port with recording
// on and short timeouts, names resolved only by the test, and the receiving end that
// the window would be, keeping the records in arrival order.

#include <map>
#include <memory>
#include <string>

#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "recorder.h"
#include "support/proxy_test_tools.h"
#include "system_clock.h"

namespace tracewell::testing {

class RecorderHarness final : public ITransactionHandler {
 public:
  explicit RecorderHarness(proxy::ProxyOptions options = TestProxyOptions(),
                           std::optional<store::StoreSettings> store = std::nullopt);
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

}  // namespace tracewell::testing
