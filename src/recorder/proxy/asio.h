#pragma once
// Boost.Asio and Beast with C++20 coroutines, as the recorder uses them. Boost 1.74's
// awaitable.hpp needs <utility> included before it; the build defines the coroutine
// switches so that clang, which Boost does not detect, gets them too.
//
// Each io_context of the proxy is run by one thread, so its plain executor is all the
// serialisation a connection needs: no strands, and no type-erased executor on the
// path of every completion.

#include <chrono>
#include <coroutine>
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace tracewell::proxy {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using error_code = boost::system::error_code;

using Executor = asio::io_context::executor_type;
using Socket = tcp::socket::rebind_executor<Executor>::other;
using Timer = asio::basic_waitable_timer<std::chrono::steady_clock,
                                         asio::wait_traits<std::chrono::steady_clock>, Executor>;

template <typename T = void>
using Task = asio::awaitable<T, Executor>;

// Completion token that hands the error back instead of throwing.
inline auto Await(error_code& ec) {
  return asio::redirect_error(asio::use_awaitable_t<Executor>(), ec);
}

}  // namespace tracewell::proxy
