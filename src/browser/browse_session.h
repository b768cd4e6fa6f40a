#pragma once
// One launched browser, recorded from inside: the process and its pipe, the client
// on the owner's thread, the attacher that reaches every page, frame and worker, and
// the network layer that turns their requests into records through the scheme
// bindings (so the window's Start/Stop switches it with the proxy). The pipe's reader
// thread hands every message to the owner's thread through `post`; a session that is
// gone by then drops it.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "browser_process.h"
#include "browser_profile.h"
#include "capture/scheme_bindings.h"
#include "chromium_arguments.h"
#include "chromium_cache_store.h"
#include "devtools/devtools_client.h"
#include "devtools/network_layer.h"
#include "devtools/target_attacher.h"
#include "pipe_transport.h"

namespace tracewell::browser {

struct LaunchSettings {
  std::string executable = "chromium";
  ChromiumOptions chromium;
  std::filesystem::path logFile;
  // The browser's disk cache, which answers its records' cache snapshots.
  std::filesystem::path cacheFolder;

  // Chromium in `profile`, its output in the profile's log; without the sandbox when
  // running as root, where Chromium refuses it.
  static LaunchSettings For(const CBrowserProfile& profile, bool headless, bool loopbackOnly);
};

class CBrowseSession : public std::enable_shared_from_this<CBrowseSession> {
 public:
  using Post = std::function<void(std::function<void()>)>;
  struct Handlers {
    std::function<void()> onClosed;  // the browser went away (closed, crashed)
    std::function<void(std::string_view reason)> onFault;
    // Every event, after the attacher and the network layer have seen it.
    std::function<void(const devtools::DevToolsMessage&)> onEvent;
    // The first tab is set up (its session), or went away (empty).
    std::function<void(const std::string& sessionId)> onPageChanged;
  };

  static std::variant<std::shared_ptr<CBrowseSession>, std::string> Launch(
      const LaunchSettings& settings, CSchemeBindings& bindings, Post post, Handlers handlers);

  // Closes the browser if it still runs.
  ~CBrowseSession();
  CBrowseSession(const CBrowseSession&) = delete;
  CBrowseSession& operator=(const CBrowseSession&) = delete;

  devtools::CDevToolsClient& Client() { return *m_client; }
  const devtools::CDevToolsNetworkLayer& Network() const { return *m_network; }
  // The browser's disk cache, read-only while it runs; it lives as long as the session.
  CChromiumCacheStore& CacheStore() { return *m_cache; }
  // The tab Tracewell navigates and inspects; empty until it is attached.
  const std::string& PageSession() const { return m_page; }
  bool IsOpen() const { return m_open; }

  // Loads `url` in the tab; false when there is no tab yet.
  bool Navigate(const std::string& url, devtools::CDevToolsClient::ReplyHandler onReply = {});
  // Asks the browser to close, gives it `grace`, then ends it.
  void Close(std::chrono::milliseconds grace);

 private:
  CBrowseSession(CSchemeBindings& bindings, Handlers handlers, const std::filesystem::path& cacheFolder);
  void Connect(std::unique_ptr<CBrowserProcess> process, Post post);
  void OnEvent(const devtools::DevToolsMessage& event);
  // A target is set up: the first user tab becomes the one navigated and inspected.
  void OnReady(std::string_view sessionId);
  void OnDetached(std::string_view sessionId);
  void OnClosed();
  void Fault(std::string_view reason);

  Handlers m_handlers;
  std::unique_ptr<CBrowserProcess> m_process;
  std::unique_ptr<CPipeTransport> m_transport;
  std::unique_ptr<devtools::CDevToolsClient> m_client;
  std::unique_ptr<devtools::CTargetAttacher> m_attacher;
  std::unique_ptr<CChromiumCacheStore> m_cache;  // before the layer that uses it
  std::unique_ptr<devtools::CDevToolsNetworkLayer> m_network;
  CSchemeBindings& m_bindings;
  std::string m_page;
  bool m_open = true;
};

}  // namespace tracewell::browser
