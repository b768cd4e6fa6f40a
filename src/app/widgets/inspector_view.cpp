#include "widgets/inspector_view.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "text/code_page.h"
#include "widgets/detail_list.h"
#include "widgets/qt_text.h"
#include "widgets/styled_text.h"

namespace tracewell::app {
namespace {

// Grid lines, whole-row selection and label tips; the columns keep their order.
constexpr ReportListStyle kTableStyle{.movableColumns = false, .labelTips = true};

// Which model item a tree widget item shows.
constexpr int kItemRole = Qt::UserRole;

// The highest selected row, or -1 when no row is selected.
int LastSelectedRow(const QAbstractItemView& view) {
  int last = -1;
  for (const QModelIndex& index : view.selectionModel()->selectedRows()) {
    last = std::max(last, index.row());
  }
  return last;
}

// Refilling resets the list and its selection, so rows that did not change stay.
void ShowRowsIfChanged(CDetailList& list, const TextRows& rows) {
  const auto* shown = qobject_cast<const CTextRowsModel*>(list.model());
  Q_ASSERT(shown);
  if (shown->Rows() != rows) list.ShowRows(rows);
}

QLabel* AddRootRow(QFormLayout& layout, const QString& title, int controlId) {
  auto* value = new QLabel;
  value->setObjectName(QStringLiteral("value%1").arg(controlId));
  value->setTextFormat(Qt::PlainText);  // page titles are not markup
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout.addRow(title, value);
  return value;
}

}  // namespace

CInspectorView::CInspectorView(CInspectorModel& model, IClipboard& clipboard, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      m_model(model),
      m_tree(new QTreeWidget),
      m_pane(new QStackedWidget),
      m_text(new QTextEdit),
      m_images(AddTable(kImageTableList, clipboard)),
      m_links(AddTable(kLinkTableList, clipboard)),
      m_formFields(AddTable(kFormFieldTableList, clipboard)),
      m_rootPanel(MakeRootPanel()) {
  setWindowTitle(ToQString(kInspectorTitle));
  setChildrenCollapsible(false);

  m_tree->setObjectName(QString::number(inspector_control::kTree));
  m_tree->setHeaderHidden(true);
  m_tree->setRootIsDecorated(true);
  m_tree->setUniformRowHeights(true);
  connect(m_tree, &QTreeWidget::currentItemChanged, this,
          [this](const QTreeWidgetItem* current) { OnItemChosen(current); });

  m_text->setObjectName(QString::number(inspector_control::kText));
  m_text->setReadOnly(true);
  m_text->setUndoRedoEnabled(false);
  m_text->setLineWrapMode(QTextEdit::NoWrap);
  // The colour table is made for dark text on white, whatever the desktop's theme.
  QPalette paper = m_text->palette();
  paper.setColor(QPalette::Base, Qt::white);
  paper.setColor(QPalette::Text, Qt::black);
  m_text->setPalette(paper);

  m_pane->addWidget(m_text);
  m_pane->addWidget(m_rootPanel);
  addWidget(m_tree);
  addWidget(m_pane);
  Refresh();
}

CDetailList* CInspectorView::AddTable(const DetailList& layout, IClipboard& clipboard) {
  auto* table = new CDetailList(layout, kTableStyle, clipboard, nullptr);
  table->setObjectName(QString::number(layout.id));
  m_pane->addWidget(table);
  connect(table, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    m_model.OnTableRowClicked(index.row());
    ShowPane();
  });
  table->installEventFilter(this);
  return table;
}

QWidget* CInspectorView::MakeRootPanel() {
  auto* panel = new QWidget;
  panel->setWindowTitle(ToQString(kRootPanelTitle));
  auto* layout = new QFormLayout(panel);
  m_rootName = AddRootRow(*layout, QStringLiteral("Name:"), inspector_control::kRootName);
  m_rootType = AddRootRow(*layout, QStringLiteral("Type:"), inspector_control::kRootType);
  m_rootUrl = AddRootRow(*layout, QStringLiteral("URL:"), inspector_control::kRootUrl);
  return panel;
}

CDetailList& CInspectorView::Table(InspectorPane pane) {
  switch (pane) {
    case InspectorPane::kImages:
      return *m_images;
    case InspectorPane::kLinks:
      return *m_links;
    case InspectorPane::kFormFields:
      return *m_formFields;
    default:
      qFatal("the text box and the root panel are no tables");
  }
}

QWidget& CInspectorView::ShownPane() { return *m_pane->currentWidget(); }

void CInspectorView::Refresh() {
  ShowTree();
  ShowPane();
}

void CInspectorView::ShowTree() {
  const QSignalBlocker quiet(m_tree);  // showing the model's choice is no new choice
  m_tree->clear();
  const std::vector<InspectorTreeItem>& items = m_model.Tree().Items();
  // Parents come before their children, so each parent's widget item exists already.
  std::vector<QTreeWidgetItem*> shown;
  shown.reserve(items.size());
  const QBrush dimmed = m_tree->palette().brush(QPalette::Disabled, QPalette::Text);
  for (std::size_t position = 0; position < items.size(); ++position) {
    const InspectorTreeItem& item = items[position];
    auto* widgetItem = item.parent ? new QTreeWidgetItem(shown.at(*item.parent))
                                   : new QTreeWidgetItem(m_tree);
    widgetItem->setText(0, ToQString(item.label));
    widgetItem->setData(0, kItemRole, QVariant::fromValue(position));
    if (item.dimmed) widgetItem->setForeground(0, dimmed);
    shown.push_back(widgetItem);
  }
  for (std::size_t position = 0; position < items.size(); ++position) {
    shown[position]->setExpanded(items[position].expanded);
  }
  if (const auto selected = m_model.SelectedItem()) m_tree->setCurrentItem(shown.at(*selected));
}

void CInspectorView::ShowPane() {
  switch (m_model.Pane()) {
    case InspectorPane::kText:
      m_pane->setCurrentWidget(m_text);
      break;
    case InspectorPane::kRoot:
      m_pane->setCurrentWidget(m_rootPanel);
      break;
    default:
      m_pane->setCurrentWidget(&Table(m_model.Pane()));
      break;
  }
  ShowRichText();
  ShowRowsIfChanged(*m_images, m_model.ImageTable().rows);
  ShowRowsIfChanged(*m_links, m_model.LinkTable().rows);
  ShowRowsIfChanged(*m_formFields, m_model.FormFieldTable().rows);
  const RootPanelTexts& root = m_model.RootPanel();
  m_rootName->setText(ToQString(root.name));
  m_rootType->setText(ToQString(root.type));
  m_rootUrl->setText(ToQString(root.url));
}

void CInspectorView::ShowRichText() {
  if (m_model.RichText() == m_shownRichText) return;
  m_shownRichText = m_model.RichText();
  // The model keeps the text box's RTF in the narrow code page, where every byte maps
  // back to one UTF-16 code unit.
  ShowStyledRuns(*m_text->document(), RenderRtfRuns(FromCodePage(m_shownRichText)));
}

void CInspectorView::OnItemChosen(const QTreeWidgetItem* item) {
  if (!item) return;
  m_model.OnTreeItemChosen(item->data(0, kItemRole).value<std::size_t>());
  ShowPane();
}

bool CInspectorView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
  const auto* table = qobject_cast<const CDetailList*>(watched);
  Q_ASSERT(table);
  m_model.OnTableArrowKey(key == Qt::Key_Down, LastSelectedRow(*table));
  ShowPane();
  return false;  // the table moves its selection as usual
}

void CInspectorView::hideEvent(QHideEvent* event) {
  QSplitter::hideEvent(event);
  // Only when another tab is chosen: a window that goes away clears the inspector
  // itself, and one being destroyed may have destroyed the model already.
  if (window()->isVisible()) m_model.RestoreHighlight();
}

}  // namespace tracewell::app
