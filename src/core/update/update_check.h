#pragma once
// Help > Check for Update: one fresh fetch of the update site's version file, a
// message for the user, and on request the update page in the hosting browser.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/message_box.h"
#include "text/user_message.h"

namespace tracewell {

inline constexpr std::u16string_view kUpdateUserAgent = u"Microsoft Internet Explorer";
inline constexpr std::u16string_view kVersionFilePath = u"/version.txt";
inline constexpr std::u16string_view kUpdatePagePath = u"/update.html";
// How much the one read of the version file asks for.
inline constexpr std::size_t kVersionReadSize = 1024;

inline constexpr UserMessage kMsgNoNewerVersion{
    u"Newer version not found.You actually are using most recent version of this Application.",
    u"Application update"};
inline constexpr UserMessage kMsgNewerVersionFound{
    u"Newer version found.do you want to visit the update page for new version.",
    u"Application update"};

// The networking layer.
class IUpdateFetcher {
 public:
  virtual ~IUpdateFetcher() = default;
  // The connected-state flags (bit 0: connected), or nothing when the query fails.
  virtual std::optional<std::uint32_t> ConnectedState() = 0;
  // One read of at most `maxBytes` from `url`, sent with the user agent `agent` and
  // the system's proxy settings, always from the server (no cache read or written),
  // as binary. Nothing when no session or URL can be opened or the read fails. Every
  // handle opened is closed before returning.
  virtual std::optional<std::string> ReadOnce(std::u16string_view url, std::u16string_view agent,
                                              std::size_t maxBytes) = 0;
};

// The browser window that hosts the monitor panel.
class IUpdateBrowser {
 public:
  virtual ~IUpdateBrowser() = default;
  virtual void HideMonitorPanel() = 0;
  virtual void Navigate(std::u16string_view url) = 0;
};

// True for a version file of "Version:", one separator byte of any value and a
// version text of exactly seven characters (up to the first NUL byte) that differs
// from ours; `bytes` is what one read returned, and only 1 to 16 bytes can qualify.
bool NamesAnotherVersion(std::string_view bytes);

class CUpdateCheck {
 public:
  // `site` is the update site's address without a trailing slash ("https://host").
  CUpdateCheck(IUpdateFetcher& fetcher, IMessageBox& messageBox, IUpdateBrowser& browser,
               std::u16string site)
      : m_fetcher(fetcher), m_messageBox(messageBox), m_browser(browser), m_site(std::move(site)) {}

  // Asks the site only while connected; every failure counts as "no newer version".
  bool IsNewerVersionAvailable();
  // The command: the check, then the message, then on Yes the update page.
  void CheckForUpdate();

 private:
  IUpdateFetcher& m_fetcher;
  IMessageBox& m_messageBox;
  IUpdateBrowser& m_browser;
  std::u16string m_site;
};

}  // namespace tracewell
