#pragma once
// The proxy's own account of what went wrong: one line per connection that ended
// abnormally (a request refused, an origin that failed, an exception that escaped a
// connection's coroutine), for standard error unless the user asked for quiet.

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace tracewell::proxy {

// Called from the proxy's threads: it must take a whole line at a time.
using FailureLog = std::function<void(std::string_view line)>;

// Each line on standard error after `prefix`, in one write so that lines from several
// threads never mix.
inline FailureLog StandardErrorLog(std::string prefix) {
  return [prefix = std::move(prefix)](std::string_view line) {
    const std::string text = prefix + std::string(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
  };
}

// A completion handler for a coroutine spawned on its own: an exception that escapes
// it is logged as `what` and the exception's text, never lost.
inline auto LogEscapes(FailureLog log, std::string what) {
  return [log = std::move(log), what = std::move(what)](std::exception_ptr escaped, auto&&...) {
    if (!escaped || !log) return;
    try {
      std::rethrow_exception(escaped);
    } catch (const std::exception& exception) {
      log(what + ": " + exception.what());
    } catch (...) {
      log(what + ": an exception of unknown type");
    }
  };
}

}  // namespace tracewell::proxy
