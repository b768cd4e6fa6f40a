#pragma once
// The update site through Qt Network: one GET with the check's user agent and the
// system's proxy settings, never from or into a cache, bounded by a timeout. The
// check waits for it, as it is meant to; meanwhile the window takes no user input
// but keeps painting and receiving capture messages.

#include <chrono>

#include "update/update_check.h"

namespace tracewell::app {

class CUpdateFetcher final : public IUpdateFetcher {
 public:
  static constexpr std::chrono::milliseconds kTimeout{5000};

  // Connected while any network interface other than loopback is up and running.
  std::optional<std::uint32_t> ConnectedState() override;
  std::optional<std::string> ReadOnce(std::u16string_view url, std::u16string_view agent,
                                      std::size_t maxBytes) override;
};

}  // namespace tracewell::app
