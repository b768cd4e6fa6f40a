#include "command_keys.h"

#include <vector>

#include "text/assert.h"
#include "views/main_commands.h"

namespace tracewell::win {
namespace {

std::optional<WORD> KeyCode(std::u16string_view name) {
  if (name.size() == 1 && ((name[0] >= u'A' && name[0] <= u'Z') || (name[0] >= u'0' && name[0] <= u'9'))) {
    return static_cast<WORD>(name[0]);
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == u'F') {
    int number = 0;
    for (const char16_t digit : name.substr(1)) {
      if (digit < u'0' || digit > u'9') return std::nullopt;
      number = number * 10 + (digit - u'0');
    }
    if (number >= 1 && number <= 12) return static_cast<WORD>(VK_F1 + number - 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<ACCEL> ParseCommandKey(std::u16string_view keys, WORD commandId) {
  ACCEL entry{};
  entry.fVirt = FVIRTKEY;
  entry.cmd = commandId;
  for (;;) {
    const std::size_t plus = keys.find(u'+');
    const std::u16string_view part = keys.substr(0, plus);
    if (plus == std::u16string_view::npos) {
      const std::optional<WORD> key = KeyCode(part);
      if (!key) return std::nullopt;
      entry.key = *key;
      return entry;
    }
    if (part == u"Ctrl") {
      entry.fVirt |= FCONTROL;
    } else if (part == u"Shift") {
      entry.fVirt |= FSHIFT;
    } else if (part == u"Alt") {
      entry.fVirt |= FALT;
    } else {
      return std::nullopt;
    }
    keys.remove_prefix(plus + 1);
  }
}

CCommandKeys::CCommandKeys() {
  std::vector<ACCEL> entries;
  for (const CommandKey& key : kCommandKeys) {
    const std::optional<ACCEL> entry = ParseCommandKey(key.keys, static_cast<WORD>(key.id));
    TRACEWELL_ASSERT(entry.has_value());
    entries.push_back(*entry);
  }
  m_table = CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
  TRACEWELL_ASSERT(m_table != nullptr);
}

CCommandKeys::~CCommandKeys() { DestroyAcceleratorTable(m_table); }

bool CCommandKeys::Translate(HWND window, MSG& message) const {
  return TranslateAcceleratorW(window, m_table, &message) != 0;
}

}  // namespace tracewell::win
