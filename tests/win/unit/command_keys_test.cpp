// The command keys' texts as accelerator entries: every key of the window's table,
// the modifiers in any number, and the texts that are no key.

#include <windows.h>

#include <gtest/gtest.h>

#include "command_keys.h"
#include "views/main_commands.h"

namespace tracewell::win {
namespace {

TEST(CommandKeys, EveryKeyOfTheWindowIsAnAccelerator) {
  for (const CommandKey& key : kCommandKeys) {
    const auto entry = ParseCommandKey(key.keys, static_cast<WORD>(key.id));
    ASSERT_TRUE(entry.has_value()) << std::string(key.keys.begin(), key.keys.end());
    EXPECT_EQ(key.id, entry->cmd);
  }
}

TEST(CommandKeys, ModifiersThenTheKey) {
  const auto stop = ParseCommandKey(u"Shift+F5", 1);
  ASSERT_TRUE(stop);
  EXPECT_EQ(FVIRTKEY | FSHIFT, stop->fVirt);
  EXPECT_EQ(VK_F5, stop->key);
  const auto clear = ParseCommandKey(u"Ctrl+L", 2);
  ASSERT_TRUE(clear);
  EXPECT_EQ(FVIRTKEY | FCONTROL, clear->fVirt);
  EXPECT_EQ('L', clear->key);
  const auto all = ParseCommandKey(u"Ctrl+Alt+Shift+F12", 3);
  ASSERT_TRUE(all);
  EXPECT_EQ(FVIRTKEY | FCONTROL | FALT | FSHIFT, all->fVirt);
  EXPECT_EQ(VK_F12, all->key);
  EXPECT_EQ(VK_F1, ParseCommandKey(u"F1", 4)->key);
  EXPECT_EQ('7', ParseCommandKey(u"Ctrl+7", 5)->key);
}

TEST(CommandKeys, TextsThatAreNoKey) {
  for (const char16_t* text : {u"", u"F0", u"F13", u"F1x", u"l", u"Ctrl+", u"Ctrl+LL", u"Hyper+A", u"ctrl+A",
                               u"+A", u"Ctrl++"}) {
    EXPECT_FALSE(ParseCommandKey(text, 1).has_value()) << std::string(text, text + std::char_traits<char16_t>::length(text));
  }
}

}  // namespace
}  // namespace tracewell::win
