#include "recorder_harness.h"

#include <gtest/gtest.h>

#include <thread>

namespace tracewell::testing {

using namespace proxy;

RecorderHarness::RecorderHarness(ProxyOptions options, std::optional<store::StoreSettings> store)
    : m_recorder(std::make_unique<CRecorder>(options, resolver, m_clock, m_queue, std::move(store))) {
  const error_code ec = m_recorder->Listen();
  EXPECT_FALSE(ec) << ec.message();
  m_recorder->StartCapture();
}

RecorderHarness::~RecorderHarness() { Shutdown(std::chrono::milliseconds(0)); }

std::string RecorderHarness::ProxyAddress() const { return "127.0.0.1:" + std::to_string(Port()); }

void RecorderHarness::Drain() {
  for (auto& message : m_queue->TakeAll()) m_receiver.Deliver(std::move(message));
}

const TransactionArray& RecorderHarness::WaitForFinished(std::size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (Drain(); m_finished < count && std::chrono::steady_clock::now() < deadline; Drain()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return m_records;
}

const TransactionArray& RecorderHarness::Shutdown(std::chrono::milliseconds grace) {
  if (m_recorder) {
    m_recorder->Shutdown(grace);
    Drain();
  }
  return m_records;
}

void RecorderHarness::OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) {
  m_records.push_back(std::move(record));
}

void RecorderHarness::OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) {
  m_masks[&record].push_back(mask);
  if (mask & kMaskFinished) ++m_finished;
}

}  // namespace tracewell::testing
