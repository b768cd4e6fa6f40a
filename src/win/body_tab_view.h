#pragma once
// The "Body" tab: the request body (when the record sent one) above the response
// body, each with its summary over the body, shown as read-only fixed-pitch text
// (text, JSON laid out or a hex dump) or as a picture that OLE draws. A stored body is
// read only while the tab is the one chosen, so choosing records under another tab
// costs no file reads.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bodies/body_view.h"
#include "cache/cache_files.h"
#include "cache_platform.h"
#include "http_text/record_bodies.h"

namespace tracewell::win {

namespace body_control {
inline constexpr int kRequestPane = 1001;
inline constexpr int kResponsePane = 1002;
// In each pane.
inline constexpr int kSummary = 1003;
inline constexpr int kText = 1004;
}  // namespace body_control

// The text as a multi-line edit box shows it: each line break as CR LF, and U+0000,
// which would end the box's text there, as U+FFFD.
std::wstring EditBoxText(std::u16string_view text);

// One body: its summary, and under it the text box or the picture.
class CBodyPaneView {
 public:
  CBodyPaneView() = default;
  ~CBodyPaneView();
  CBodyPaneView(const CBodyPaneView&) = delete;
  CBodyPaneView& operator=(const CBodyPaneView&) = delete;

  // Creates the pane, hidden, in `parent`; the fonts outlive it. False when the
  // system refuses.
  bool Create(HWND parent, int id, HFONT summaryFont, HFONT textFont);
  HWND Handle() const { return m_pane; }

  // A picture OLE cannot read is shown as its hex dump, like any other bytes.
  void ShowView(const BodyView& view);

 private:
  template <typename View>
  friend LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The summary as tall as its lines at the pane's width, the body under it.
  void Layout();
  RECT BodyArea() const;
  // The area under the summary erased, and the picture at its natural size in it.
  void PaintPicture(HDC dc) const;

  HWND m_pane = nullptr;
  HWND m_summary = nullptr;
  HWND m_text = nullptr;
  HFONT m_summaryFont = nullptr;
  std::unique_ptr<CWinPreviewPicture> m_picture;
};

class CBodyTabView {
 public:
  explicit CBodyTabView(ICacheFiles& files) : m_files(files) {}
  ~CBodyTabView();
  CBodyTabView(const CBodyTabView&) = delete;
  CBodyTabView& operator=(const CBodyTabView&) = delete;

  // Creates the view, hidden, in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_view; }

  // The bodies of the record shown, or none; the panes follow now when the tab is
  // chosen, else when it next is.
  void ShowBodies(const std::optional<RecordBodies>& bodies);
  // The tab was chosen (the view made visible): bodies given meanwhile are shown.
  void OnShown();

 private:
  template <typename View>
  friend LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool IsChosen() const;
  void Refresh();
  // The request pane over the top quarter when it is shown, the response under it.
  void Layout();

  ICacheFiles& m_files;
  std::optional<RecordBodies> m_bodies;
  bool m_stale = false;
  bool m_requestShown = false;
  CBodyPaneView m_request;
  CBodyPaneView m_response;
  HFONT m_textFont = nullptr;
  HWND m_view = nullptr;
};

}  // namespace tracewell::win
