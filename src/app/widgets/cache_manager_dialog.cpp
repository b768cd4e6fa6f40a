#include "widgets/cache_manager_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/cache_platform.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

namespace text = cookie_cache_dialog_text;

constexpr int kModelRow = Qt::UserRole;

template <std::size_t N>
QTreeWidget* NewList(const std::array<ListColumn, N>& columns, const char* name) {
  auto* list = new QTreeWidget;
  list->setObjectName(QString::fromLatin1(name));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setColumnCount(static_cast<int>(N));
  QStringList titles;
  for (const ListColumn& column : columns) titles << ToQString(column.title);
  list->setHeaderLabels(titles);
  for (std::size_t index = 0; index < N; ++index) list->setColumnWidth(static_cast<int>(index), columns[index].width);
  // Sortable by a header click, and in the model's order until then.
  list->header()->setStretchLastSection(false);
  list->header()->setSortIndicator(-1, Qt::AscendingOrder);
  list->setSortingEnabled(true);
  return list;
}

void FillList(QTreeWidget& list, const CSelectableTextList& rows) {
  list.clear();
  for (std::size_t row = 0; row < rows.RowCount(); ++row) {
    auto* item = new QTreeWidgetItem;
    const auto cells = rows.Row(row);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      item->setText(static_cast<int>(column), ToQString(cells[column]));
      item->setToolTip(static_cast<int>(column), ToQString(cells[column]));
    }
    item->setData(0, kModelRow, static_cast<qulonglong>(row));
    list.addTopLevelItem(item);
    item->setSelected(rows.IsSelected(row));
  }
}

std::size_t ModelRow(const QTreeWidgetItem& item) { return item.data(0, kModelRow).toULongLong(); }

// Tells the model which rows the list has selected.
void ReportSelection(const QTreeWidget& list, CSelectableTextList& rows) {
  for (int index = 0; index < list.topLevelItemCount(); ++index) {
    const QTreeWidgetItem& item = *list.topLevelItem(index);
    rows.SetSelected(ModelRow(item), item.isSelected());
  }
}

QLabel* NewCounter(const char* name) {
  auto* counter = new QLabel;
  counter->setObjectName(QString::fromLatin1(name));
  counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  counter->setMinimumWidth(40);
  return counter;
}

}  // namespace

// The preview area: the picture drawn where the model placed it, and the text box
// covering the whole area while it shows a text.
class CPreviewPictureArea final : public QWidget {
 public:
  CPreviewPictureArea(const CCachePreview& preview, QPlainTextEdit& text) : m_preview(preview), m_text(text) {
    setObjectName(QStringLiteral("previewArea"));
    m_text.setParent(this);
  }

 protected:
  void resizeEvent(QResizeEvent*) override { m_text.setGeometry(rect()); }

  void paintEvent(QPaintEvent*) override {
    const auto* picture = dynamic_cast<const CQtPreviewPicture*>(m_preview.Picture());
    if (picture == nullptr) return;
    const PixelRect place = m_preview.PictureRect();
    QPainter(this).drawImage(QRect(place.left, place.top, place.width, place.height), picture->Image());
  }

 private:
  const CCachePreview& m_preview;
  QPlainTextEdit& m_text;
};

CCacheManagerDialog::CCacheManagerDialog(const CookieCachePlatform& platform, const QString& note, QWidget* parent)
    : QDialog(parent),
      m_model(platform),
      m_hostCount(NewCounter("hostCount")),
      m_fileCount(NewCounter("fileCount")),
      m_hosts(NewList(kHostListColumns, "hostList")),
      m_files(NewList(kFileListColumns, "fileList")),
      m_previewText(new QPlainTextEdit),
      m_previewArea(new CPreviewPictureArea(m_model.Preview(), *m_previewText)) {
  setWindowTitle(ToQString(text::kTitle));
  setModal(true);
  resize(760, 560);

  m_previewText->setObjectName(QStringLiteral("previewText"));
  m_previewText->setReadOnly(true);
  m_previewText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* counters = new QHBoxLayout;
  counters->addWidget(new QLabel(ToQString(text::kHostCountLabel)));
  counters->addWidget(m_hostCount);
  counters->addSpacing(24);
  counters->addWidget(new QLabel(ToQString(text::kFileCountLabel)));
  counters->addWidget(m_fileCount);
  counters->addStretch();

  auto* lists = new QHBoxLayout;
  m_hosts->setMaximumWidth(220);
  lists->addWidget(m_hosts);
  auto* filesAndPreview = new QVBoxLayout;
  filesAndPreview->addWidget(m_files, 1);
  filesAndPreview->addWidget(m_previewArea, 1);
  lists->addLayout(filesAndPreview, 1);

  auto* clearCache = new QPushButton(ToQString(text::kClearCache));
  auto* clearCookie = new QPushButton(ToQString(text::kClearCookie));
  auto* saveAs = new QPushButton(ToQString(text::kSaveAs));
  auto* exit = new QPushButton(ToQString(text::kExit));
  for (QPushButton* button : {clearCache, clearCookie, saveAs}) button->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(clearCache);
  buttons->addWidget(clearCookie);
  buttons->addWidget(saveAs);
  buttons->addStretch();
  buttons->addWidget(exit);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(counters);
  layout->addLayout(lists, 1);
  if (!note.isEmpty()) {
    auto* noteLabel = new QLabel(note);
    noteLabel->setObjectName(QStringLiteral("storeNote"));
    noteLabel->setWordWrap(true);
    layout->addWidget(noteLabel);
  }
  layout->addLayout(buttons);

  connect(clearCache, &QPushButton::clicked, this, &CCacheManagerDialog::OnClearCache);
  connect(clearCookie, &QPushButton::clicked, this, &CCacheManagerDialog::OnClearCookie);
  connect(saveAs, &QPushButton::clicked, this, &CCacheManagerDialog::OnSaveAs);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_hosts, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (!m_filling) ReportSelection(*m_hosts, m_model.HostList());
  });
  // A click or a key that makes a host current shows that host's files.
  connect(m_hosts, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    if (m_filling || current == nullptr) return;
    ReportSelection(*m_hosts, m_model.HostList());
    m_model.OnHostListClick(ModelRow(*current));
    ShowFiles();
  });
  connect(m_files, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (m_filling) return;
    ReportSelection(*m_files, m_model.FileList());
    m_model.OnFileListClick(true);
    ShowPreview();
  });

  m_model.OnInitDialog();
  ShowHosts();
  ShowCounters();
  ShowPreview();
}

void CCacheManagerDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  TellPreviewArea();
}

void CCacheManagerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  TellPreviewArea();
}

void CCacheManagerDialog::TellPreviewArea() {
  m_model.Preview().SetArea({0, 0, m_previewArea->width(), m_previewArea->height()},
                            {logicalDpiX(), logicalDpiY()});
}

void CCacheManagerDialog::OnClearCache() {
  m_model.OnClearCache();
  ShowHosts();
  ShowFiles();
}

void CCacheManagerDialog::OnClearCookie() { m_model.OnClearCookie(); }

void CCacheManagerDialog::OnSaveAs() { m_model.OnSaveAs(); }

void CCacheManagerDialog::ShowHosts() {
  m_filling = true;
  FillList(*m_hosts, m_model.HostList());
  m_filling = false;
}

void CCacheManagerDialog::ShowFiles() {
  m_filling = true;
  FillList(*m_files, m_model.FileList());
  m_filling = false;
  ShowCounters();
}

void CCacheManagerDialog::ShowCounters() {
  m_hostCount->setNum(static_cast<int>(m_model.HostCount()));
  m_fileCount->setNum(static_cast<int>(m_model.FileCount()));
}

void CCacheManagerDialog::ShowPreview() {
  const CCachePreview& preview = m_model.Preview();
  m_previewText->setVisible(preview.IsTextShown());
  if (preview.IsTextShown()) m_previewText->setPlainText(ToQString(preview.Text()));
  m_previewArea->update();
}

}  // namespace tracewell::app
