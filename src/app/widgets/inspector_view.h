#pragma once
// The "Content" tab: the part tree of the page on the left and, on the right, the
// pane the inspector model chose: the coloured source, the images, links or
// form-fields table, or the page summary. Every user action goes to the model, and
// the view then shows the model's state again; the rules are all the model's.

#include <QSplitter>
#include <string>

#include "inspector/inspector_model.h"
#include "views/list_copy.h"

class QLabel;
class QStackedWidget;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tracewell::app {

class CDetailList;

class CInspectorView final : public QSplitter {
  Q_OBJECT

 public:
  CInspectorView(CInspectorModel& model, IClipboard& clipboard, QWidget* parent = nullptr);

  // Shows the model's tree and pane again; the window calls it after it told the
  // model to rebuild, show loading or clear.
  void Refresh();

  QTreeWidget& Tree() { return *m_tree; }
  QTextEdit& Text() { return *m_text; }
  // The images, links or form-fields table.
  CDetailList& Table(InspectorPane pane);
  QWidget& RootPanel() { return *m_rootPanel; }
  // The widget the right side shows now.
  QWidget& ShownPane();

 protected:
  // Up and Down in a table outline the next row's element before the table moves.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The outline comes off the page while another tab is shown.
  void hideEvent(QHideEvent* event) override;

 private:
  CDetailList* AddTable(const DetailList& layout, IClipboard& clipboard);
  QWidget* MakeRootPanel();
  void ShowTree();
  void ShowPane();
  void ShowRichText();
  void OnItemChosen(const QTreeWidgetItem* item);

  CInspectorModel& m_model;
  QTreeWidget* m_tree;
  QStackedWidget* m_pane;
  QTextEdit* m_text;
  CDetailList* m_images;
  CDetailList* m_links;
  CDetailList* m_formFields;
  QWidget* m_rootPanel;
  QLabel* m_rootName;
  QLabel* m_rootType;
  QLabel* m_rootUrl;
  // The RTF the text box was last filled from, so an unchanged text is not laid
  // out again.
  std::string m_shownRichText;
};

}  // namespace tracewell::app
