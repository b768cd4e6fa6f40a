#pragma once
// What the browser's navigation events mean for the page inspector: a navigation that
// begins shows "Loading...", and the tree is rebuilt when the top-level document (the
// first document to complete its navigation since the last rebuild) has loaded. The
// counters also tell whether the browser is busy.

#include <cstdint>
#include <functional>
#include <optional>

namespace tracewell {

// Which document an event is about (the browser's object for it).
using DocumentId = std::uint64_t;

class CPageLoadState {
 public:
  struct Actions {
    std::function<void()> showLoading;  // the inspector's "Loading..."
    std::function<void()> rebuild;      // the inspector's tree from the current document
  };
  explicit CPageLoadState(Actions actions) : m_actions(std::move(actions)) {}

  void OnBeforeNavigate();
  void OnNavigateComplete(DocumentId document);
  void OnDocumentComplete(DocumentId document);
  void OnDownloadBegin();
  void OnDownloadComplete();

  std::int32_t NavigationsPending() const { return m_navigations; }
  std::int32_t DownloadsPending() const { return m_downloads; }
  bool Busy() const { return m_busy; }

 private:
  void EndBusyWhenIdle();

  Actions m_actions;
  std::int32_t m_navigations = 0;
  std::int32_t m_downloads = 0;
  bool m_busy = false;
  std::optional<DocumentId> m_topDocument;
};

}  // namespace tracewell
