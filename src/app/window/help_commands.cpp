#include "window/help_commands.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "update/update_check.h"
#include "views/main_commands.h"
#include "widgets/about_box.h"
#include "widgets/product_addresses.h"
#include "widgets/qt_text.h"
#include "window/update_fetcher.h"

namespace tracewell::app {
namespace {

// The manual is a page beside the program.
constexpr char16_t kManualName[] = u"Tracewell.html";

// The update page opens in the user's browser; the window is the whole monitor here,
// so there is no panel to hide first.
class CDesktopUpdateBrowser final : public IUpdateBrowser {
 public:
  void HideMonitorPanel() override {}
  void Navigate(std::u16string_view url) override { QDesktopServices::openUrl(QUrl(ToQString(url))); }
};

}  // namespace

bool CHelpCommands::OnCommand(int commandId) {
  switch (commandId) {
    case command::kHelpTopics: {
      const QString path = QCoreApplication::applicationDirPath() + u'/' + ToQString(kManualName);
      QDesktopServices::openUrl(QUrl::fromLocalFile(path));
      return true;
    }
    case command::kCheckForUpdate: {
      CUpdateFetcher fetcher;
      CDesktopUpdateBrowser browser;
      CUpdateCheck(fetcher, m_messages, browser, FromQString(ReadProductAddresses().updateSite))
          .CheckForUpdate();
      return true;
    }
    case command::kTechnicalSupport:
      QDesktopServices::openUrl(QUrl(ReadProductAddresses().homePage));
      return true;
    case command::kAbout:
      CAboutBox(&m_parent).exec();
      return true;
    default:
      return false;
  }
}

}  // namespace tracewell::app
