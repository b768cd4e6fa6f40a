#pragma once
// The code's own assumptions, checked: a broken one is a fault of this program, not
// of the traffic or the files it reads, so it stops the process at once with the
// place and the condition instead of running on with a damaged state. Faults that
// traffic or files cause are never asserted: they become statuses, rows and messages.
//
// On in builds without NDEBUG (the sanitizer builds) and wherever TRACEWELL_ASSERTIONS
// is defined (the core of every build with tests); otherwise the condition is not
// evaluated.

#include <cstdio>
#include <cstdlib>

namespace tracewell::detail {

[[noreturn]] inline void AssertionFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}

}  // namespace tracewell::detail

#if defined(TRACEWELL_ASSERTIONS) || !defined(NDEBUG)
#define TRACEWELL_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : ::tracewell::detail::AssertionFailed(#condition, __FILE__, __LINE__))
#else
#define TRACEWELL_ASSERT(condition) static_cast<void>(sizeof(static_cast<bool>(condition)))
#endif
