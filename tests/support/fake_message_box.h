#pragma once
// Message boxes for tests: every message and question is kept in order, and each
// question gets the same answer, No unless a test says otherwise.

#include <string>
#include <vector>

#include "text/message_box.h"

namespace tracewell::testing {

struct ShownMessage {
  std::u16string text;
  std::u16string caption;
  bool question = false;

  friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

inline ShownMessage Shown(const UserMessage& message) {
  return {std::u16string(message.text), std::u16string(message.caption)};
}
inline ShownMessage Asked(const UserMessage& message) {
  return {std::u16string(message.text), std::u16string(message.caption), true};
}

class FakeMessageBox final : public IMessageBox {
 public:
  bool answer = false;
  std::vector<ShownMessage> shown;

  void ShowMessage(const UserMessage& message) override { shown.push_back(Shown(message)); }
  bool AskYesNo(const UserMessage& question) override {
    shown.push_back(Asked(question));
    return answer;
  }
};

}  // namespace tracewell::testing
