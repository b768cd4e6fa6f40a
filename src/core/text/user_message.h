#pragma once
// A message for the user, shown by a window as a message box (text and caption) and
// printed by the command line. The texts are fixed program texts.

#include <string_view>

namespace tracewell {

struct UserMessage {
  std::u16string_view text;
  std::u16string_view caption;

  friend bool operator==(const UserMessage&, const UserMessage&) = default;
};

}  // namespace tracewell
