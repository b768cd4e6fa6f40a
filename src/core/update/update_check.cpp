#include "update/update_check.h"

#include "update/version.h"

namespace tracewell {
namespace {

constexpr std::string_view kVersionTag = "Version:";
constexpr std::size_t kVersionTextOffset = kVersionTag.size() + 1;  // after the separator
constexpr std::size_t kMaxVersionFileSize = 16;
constexpr std::uint32_t kConnectedBit = 0x1;

}  // namespace

bool NamesAnotherVersion(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxVersionFileSize) return false;
  if (!bytes.starts_with(kVersionTag) || bytes.size() <= kVersionTextOffset) return false;
  std::string_view version = bytes.substr(kVersionTextOffset);
  version = version.substr(0, version.find('\0'));
  return version.size() == kProgramVersion.size() && version != kProgramVersion;
}

bool CUpdateCheck::IsNewerVersionAvailable() {
  const auto state = m_fetcher.ConnectedState();
  if (!state || (*state & kConnectedBit) == 0) return false;
  const auto bytes = m_fetcher.ReadOnce(m_site + std::u16string(kVersionFilePath), kUpdateUserAgent,
                                        kVersionReadSize);
  return bytes && NamesAnotherVersion(*bytes);
}

void CUpdateCheck::CheckForUpdate() {
  if (!IsNewerVersionAvailable()) {
    m_messageBox.ShowMessage(kMsgNoNewerVersion);
    return;
  }
  if (!m_messageBox.AskYesNo(kMsgNewerVersionFound)) return;
  m_browser.HideMonitorPanel();
  m_browser.Navigate(m_site + std::u16string(kUpdatePagePath));
}

}  // namespace tracewell
