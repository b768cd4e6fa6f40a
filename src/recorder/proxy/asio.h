#pragma once
// Boost.Asio and Beast with C++20 coroutines, as the recorder uses them. Boost 1.74's
// awaitable.hpp needs <utility> included before it; the build defines the coroutine
// switches so that clang, which Boost does not detect, gets them too.

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

template <typename T = void>
using Task = asio::awaitable<T>;

// Completion token that hands the error back instead of throwing.
inline auto Await(error_code& ec) { return asio::redirect_error(asio::use_awaitable, ec); }

}  // namespace tracewell::proxy
