#pragma once
// The modal "Clear Cache and Cookie" dialog: the hosts of the cache with the number
// of files of each, the files of the chosen host, the preview of the chosen file
// below them, and the buttons that clear a host's files or every cookie, or save
// the chosen file elsewhere. Every rule is the core model's; this binds Qt widgets.

#include <QDialog>

#include "cache/cookie_cache_dialog.h"

class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tracewell::app {

class CPreviewPictureArea;

class CCacheManagerDialog final : public QDialog {
  Q_OBJECT

 public:
  // `note`, when not empty, is a line shown under the lists (why a store cannot be
  // changed, say).
  CCacheManagerDialog(const CookieCachePlatform& platform, const QString& note, QWidget* parent);

  const CCookieCacheDialogModel& Model() const { return m_model; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OnClearCache();
  void OnClearCookie();
  void OnSaveAs();
  // Shows the model's lists, counters and preview again.
  void ShowHosts();
  void ShowFiles();
  void ShowCounters();
  void ShowPreview();
  void TellPreviewArea();

  CCookieCacheDialogModel m_model;
  QLabel* m_hostCount;
  QLabel* m_fileCount;
  QTreeWidget* m_hosts;
  QTreeWidget* m_files;
  QPlainTextEdit* m_previewText;
  CPreviewPictureArea* m_previewArea;
  bool m_filling = false;  // the lists are being refilled: their signals mean nothing
};

}  // namespace tracewell::app
