#pragma once
// The "Body" tab: the request body (when the record sent one) above the response
// body, each with its summary line and shown as read-only monospace text (text, JSON
// laid out or a hex dump) or as a picture. A stored body is read only while the tab
// is on show, so choosing records with the tab hidden costs no file reads.

#include <QWidget>
#include <optional>

#include "bodies/body_view.h"
#include "cache/cache_files.h"
#include "http_text/record_bodies.h"

class QLabel;
class QPlainTextEdit;
class QStackedWidget;

namespace tracewell::app {

// One body: its summary above the text or the picture.
class CBodyPane final : public QWidget {
  Q_OBJECT

 public:
  explicit CBodyPane(QWidget* parent = nullptr);

  void ShowView(const BodyView& view);

  QString Summary() const;
  // The text on show; empty while a picture is shown.
  QString ShownText() const;
  bool ShowsPicture() const;

 private:
  QLabel* m_summary;
  QStackedWidget* m_stack;
  QPlainTextEdit* m_text;
  QLabel* m_picture;
};

class CBodyTab final : public QWidget {
  Q_OBJECT

 public:
  explicit CBodyTab(ICacheFiles& files, QWidget* parent = nullptr);

  void SetCacheFiles(ICacheFiles& files);
  // The bodies of the record shown, or none; the panes follow now when on show,
  // else when next shown.
  void ShowBodies(const std::optional<RecordBodies>& bodies);

  CBodyPane& Request() { return *m_request; }
  CBodyPane& Response() { return *m_response; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Refresh();

  ICacheFiles* m_files;
  std::optional<RecordBodies> m_bodies;
  bool m_stale = false;
  CBodyPane* m_request;
  CBodyPane* m_response;
};

}  // namespace tracewell::app
