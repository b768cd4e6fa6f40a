#include "window/help_commands.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "update/update_check.h"
#include "views/main_commands.h"
#include "widgets/about_box.h"
#include "widgets/product_addresses.h"
#include "widgets/qt_text.h"
#include "window/update_fetcher.h"

namespace tracewell::app {
namespace {

// The manual is a page beside the program in a build tree, and in the documentation
// folder of an installed one.
constexpr char16_t kManualName[] = u"Tracewell.html";
constexpr char16_t kInstalledManualFolder[] = u"/../share/doc/tracewell/";

QString ManualPath() {
  const QString programFolder = QCoreApplication::applicationDirPath();
  const QString beside = programFolder + u'/' + ToQString(kManualName);
  if (QFileInfo::exists(beside)) return beside;
  return QDir::cleanPath(programFolder + ToQString(kInstalledManualFolder) + ToQString(kManualName));
}

// The window is the whole monitor here, so there is no panel to hide before the
// update page opens.
class CDesktopUpdateBrowser final : public IUpdateBrowser {
 public:
  explicit CDesktopUpdateBrowser(std::function<void(const QString&)> open) : m_open(std::move(open)) {}
  void HideMonitorPanel() override {}
  void Navigate(std::u16string_view url) override { m_open(ToQString(url)); }

 private:
  std::function<void(const QString&)> m_open;
};

}  // namespace

bool CHelpCommands::OnCommand(int commandId) {
  switch (commandId) {
    case command::kHelpTopics: {
      QDesktopServices::openUrl(QUrl::fromLocalFile(ManualPath()));
      return true;
    }
    case command::kCheckForUpdate: {
      CUpdateFetcher fetcher;
      CDesktopUpdateBrowser browser([this](const QString& url) { OpenPage(url); });
      CUpdateCheck(fetcher, m_messages, browser, FromQString(ReadProductAddresses().updateSite))
          .CheckForUpdate();
      return true;
    }
    case command::kTechnicalSupport:
      OpenPage(ReadProductAddresses().homePage);
      return true;
    case command::kAbout:
      CAboutBox(&m_parent).exec();
      return true;
    default:
      return false;
  }
}

void CHelpCommands::OpenPage(const QString& url) const {
  if (m_openInStartedBrowser && m_openInStartedBrowser(url)) return;
  QDesktopServices::openUrl(QUrl(url));
}

}  // namespace tracewell::app
