#include "inspector/page_load_state.h"

namespace tracewell {
namespace {

// The counters are 32-bit and signed; an unbalanced browser wraps them instead of
// overflowing.
std::int32_t Step(std::int32_t value, std::int32_t by) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(by));
}

}  // namespace

void CPageLoadState::OnBeforeNavigate() {
  m_navigations = Step(m_navigations, 1);
  if (m_actions.showLoading) m_actions.showLoading();
}

void CPageLoadState::OnNavigateComplete(DocumentId document) {
  if (!m_topDocument) m_topDocument = document;
}

void CPageLoadState::OnDocumentComplete(DocumentId document) {
  m_navigations = Step(m_navigations, -1);
  if (m_topDocument == document) {
    m_topDocument.reset();
    if (m_actions.rebuild) m_actions.rebuild();
  }
  EndBusyWhenIdle();
}

void CPageLoadState::OnDownloadBegin() {
  m_downloads = Step(m_downloads, 1);
  if (m_navigations == 0) m_busy = true;
}

void CPageLoadState::OnDownloadComplete() {
  m_downloads = Step(m_downloads, -1);
  EndBusyWhenIdle();
}

void CPageLoadState::EndBusyWhenIdle() {
  if (m_busy && m_navigations == 0 && m_downloads == 0) m_busy = false;
}

}  // namespace tracewell
