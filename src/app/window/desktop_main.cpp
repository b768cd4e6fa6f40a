#include "window/desktop_main.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "icu_collator.h"
#include "proxy/interception.h"
#include "system_clock.h"
#include "tls/ca_directory.h"
#include "widgets/toolbar_icons.h"
#include "window/main_window.h"

namespace tracewell::app {
namespace {

// A display server to talk to, or a platform chosen by hand (offscreen, vnc, ...).
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int RunDesktop(int argc, char** argv, const std::optional<std::filesystem::path>& session) {
  if (!HasDisplay()) {
    std::cerr << "tracewell: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                 "not set)\nRun 'tracewell record' to record without a window, or "
                 "'tracewell --help' for the commands.\n";
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProductIcons());
  QGuiApplication::setDesktopFileName(QStringLiteral("tracewell"));
  proxy::CSystemResolver resolver;
  const SystemClock clock;
  const CIcuCollator collator;
  proxy::ProxyOptions proxyOptions;
  proxyOptions.failureLog = proxy::StandardErrorLog("tracewell: ");
  proxy::InterceptionSettings https;
  https.authorityDirectory = tls::DefaultCaDirectory();
  auto made = proxy::CInterception::Make(std::move(https));
  if (!made.interception) {
    // The window still records HTTP, and HTTPS as tunnels; the status bar says so.
    std::cerr << "tracewell: HTTPS passes through unrecorded: " << made.error << "\n";
  }
  proxyOptions.interception = std::move(made.interception);
  WindowSetup setup{proxyOptions, resolver, clock, collator};
  setup.store = store::DefaultStoreSettings(store::kDefaultStoreBytes, proxy::StandardErrorLog("tracewell: "));
  CMainWindow window(setup);
  window.show();
  if (session) window.OpenSession(*session);
  return QApplication::exec();
}

}  // namespace tracewell::app
