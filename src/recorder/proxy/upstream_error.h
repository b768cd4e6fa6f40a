#pragma once
// What went wrong on the way to an origin server, as the network error numbers the
// records and views know (12002 timeout, 12007 name not resolved, ...). A TLS failure
// that is not the certificate's has no number of its own: it counts as the connection
// aborted (12030).

#include <cstdint>

#include "http_text/network_errors.h"
#include "proxy/asio.h"

namespace tracewell::proxy {

std::uint32_t ErrorNumberFor(const error_code& ec);

}  // namespace tracewell::proxy
