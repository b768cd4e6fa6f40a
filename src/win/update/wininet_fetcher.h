#pragma once
// Check for Update's networking over WinINet: the connected state, and one read of
// the version file straight from the server.

#include "update/update_check.h"

namespace tracewell::win {

class CWinInetUpdateFetcher final : public IUpdateFetcher {
 public:
  std::optional<std::uint32_t> ConnectedState() override;
  std::optional<std::string> ReadOnce(std::u16string_view url, std::u16string_view agent,
                                      std::size_t maxBytes) override;
};

}  // namespace tracewell::win
