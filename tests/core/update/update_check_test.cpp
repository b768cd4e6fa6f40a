#include "update/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_message_box.h"

namespace tracewell {
namespace {

using namespace std::string_literals;
using testing::FakeMessageBox;
using testing::ShownMessage;

struct FakeFetcher final : IUpdateFetcher {
  std::optional<std::uint32_t> state = 0x1;
  std::optional<std::string> reply;
  std::vector<std::u16string> urls;
  std::vector<std::u16string> agents;
  std::vector<std::size_t> sizes;

  std::optional<std::uint32_t> ConnectedState() override { return state; }
  std::optional<std::string> ReadOnce(std::u16string_view url, std::u16string_view agent,
                                      std::size_t maxBytes) override {
    urls.emplace_back(url);
    agents.emplace_back(agent);
    sizes.push_back(maxBytes);
    return reply;
  }
};

struct FakeBrowser final : IUpdateBrowser {
  std::vector<std::u16string> calls;
  void HideMonitorPanel() override { calls.emplace_back(u"hide"); }
  void Navigate(std::u16string_view url) override { calls.push_back(u"go " + std::u16string(url)); }
};

struct Harness {
  FakeFetcher fetcher;
  FakeMessageBox messages;
  FakeBrowser browser;
  CUpdateCheck check{fetcher, messages, browser, u"https://updates.test"};
};

const ShownMessage kUpToDate{
    u"Newer version not found.You actually are using most recent version of this Application.",
    u"Application update"};
const ShownMessage kNewerFound{
    u"Newer version found.do you want to visit the update page for new version.", u"Application update",
    true};

TEST(UpdateCheck, VersionFileRules) {
  struct Case {
    std::string file;
    bool newer;
  };
  const Case cases[] = {
      {"Version: 1.0.0.1", true},
      {"Version: 0.9.9.9", true},
      {"Version:x1.0.0.1", true},      // the separator's value is ignored
      {"Version:\0002.0.0.0"s, true},  // even a NUL separator
      {"Version: abcdefg", true},      // text, not numbers
      {"Version: 1.0.0.0", false},
      {"Version: 1.0.0.1\r\n", false},  // 18 bytes
      {"Version: 1.0.0.10", false},     // 17 bytes
      {"Version: 1.0.0.1\0"s, false},   // 17 bytes, even with a NUL last
      {"Version: 1.0.0.", false},       // six characters
      {"Version: 1.0\0.0.1"s, false},   // the text ends at the NUL byte
      {"version: 1.0.0.1", false},
      {"VERSION: 1.0.0.1", false},
      {"Version:", false},
      {"Version: ", false},
      {"Versio", false},
      {"", false},
      {"Release: 1.0.0.1", false},
      {std::string(1024, 'x'), false},
  };
  for (const Case& c : cases) {
    Harness h;
    h.fetcher.reply = c.file;
    EXPECT_EQ(h.check.IsNewerVersionAvailable(), c.newer) << c.file;
    EXPECT_EQ(h.fetcher.urls, std::vector<std::u16string>{u"https://updates.test/version.txt"});
    EXPECT_EQ(h.fetcher.agents, std::vector<std::u16string>{u"Microsoft Internet Explorer"});
    EXPECT_EQ(h.fetcher.sizes, std::vector<std::size_t>{1024});
  }
}

TEST(UpdateCheck, OfflineOrFailedFetchMeansNoNewerVersion) {
  for (const std::optional<std::uint32_t> state :
       {std::optional<std::uint32_t>{}, std::optional<std::uint32_t>{0x0},
        std::optional<std::uint32_t>{0x2}, std::optional<std::uint32_t>{0x14}}) {
    Harness h;
    h.fetcher.state = state;
    h.fetcher.reply = "Version: 1.0.0.1";
    h.check.CheckForUpdate();
    EXPECT_TRUE(h.fetcher.urls.empty()) << "no request while offline";
    EXPECT_EQ(h.messages.shown, std::vector<ShownMessage>{kUpToDate});
    EXPECT_TRUE(h.browser.calls.empty());
  }
  // Connected bit set among others: the site is asked.
  Harness connected;
  connected.fetcher.state = 0x5;
  connected.fetcher.reply = "Version: 1.0.0.1";
  EXPECT_TRUE(connected.check.IsNewerVersionAvailable());

  // Session, URL or read failure.
  Harness failed;
  failed.fetcher.reply.reset();
  failed.check.CheckForUpdate();
  EXPECT_EQ(failed.fetcher.urls.size(), 1u);
  EXPECT_EQ(failed.messages.shown, std::vector<ShownMessage>{kUpToDate});
}

TEST(UpdateCheck, NewerVersionAsksAndOnYesOpensTheUpdatePage) {
  Harness no;
  no.fetcher.reply = "Version: 1.0.0.1";
  no.check.CheckForUpdate();
  EXPECT_EQ(no.messages.shown, std::vector<ShownMessage>{kNewerFound});
  EXPECT_TRUE(no.browser.calls.empty());

  Harness yes;
  yes.fetcher.reply = "Version: 1.0.0.1";
  yes.messages.answer = true;
  yes.check.CheckForUpdate();
  EXPECT_EQ(yes.messages.shown, std::vector<ShownMessage>{kNewerFound});
  EXPECT_EQ(yes.browser.calls,
            (std::vector<std::u16string>{u"hide", u"go https://updates.test/update.html"}));

  // Each command fetches afresh.
  yes.fetcher.reply = "Version: 1.0.0.0";
  yes.check.CheckForUpdate();
  EXPECT_EQ(yes.fetcher.urls.size(), 2u);
  EXPECT_EQ(yes.messages.shown.back(), kUpToDate);
  EXPECT_EQ(yes.browser.calls.size(), 2u);
}

}  // namespace
}  // namespace tracewell
