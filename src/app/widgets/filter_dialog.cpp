#include "widgets/filter_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

namespace text = filter_dialog_text;

constexpr Qt::ItemFlags kCheckRowFlags =
    Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;

Qt::CheckState CheckState(bool checked) { return checked ? Qt::Checked : Qt::Unchecked; }

QTreeWidget* NewStatusList(const CFilterDialogModel& model) {
  auto* list = new QTreeWidget;
  list->setObjectName(QStringLiteral("statusCodes"));
  list->setColumnCount(2);
  list->setHeaderLabels({ToQString(text::kStatusColumn), ToQString(text::kDescriptionColumn)});
  list->setColumnWidth(0, text::kStatusColumnWidth);
  list->setColumnWidth(1, text::kDescriptionColumnWidth);
  list->header()->setStretchLastSection(false);
  list->setRootIsDecorated(false);
  list->setAllColumnsShowFocus(true);
  list->setWordWrap(false);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (std::size_t row = 0; row < kFilterStatusCodes.size(); ++row) {
    const StatusCodeChoice& choice = kFilterStatusCodes[row];
    auto* item = new QTreeWidgetItem(list, {ToQString(choice.code), ToQString(choice.description)});
    item->setFlags(kCheckRowFlags);
    item->setCheckState(0, CheckState(model.IsRowChecked(FilterList::kStatusCodes, row)));
  }
  return list;
}

QListWidget* NewTypeList(const CFilterDialogModel& model) {
  auto* list = new QListWidget;
  list->setObjectName(QStringLiteral("contentTypes"));
  list->setViewMode(QListView::ListMode);
  list->setFlow(QListView::LeftToRight);
  list->setWrapping(true);
  list->setResizeMode(QListView::Adjust);
  list->setSpacing(2);
  for (std::size_t row = 0; row < kFilterContentTypes.size(); ++row) {
    auto* item = new QListWidgetItem(ToQString(kFilterContentTypes[row]), list);
    item->setFlags(kCheckRowFlags);
    item->setCheckState(CheckState(model.IsRowChecked(FilterList::kContentTypes, row)));
  }
  return list;
}

}  // namespace

CFilterDialog::CFilterDialog(FilterSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_model(settings),
      m_enableFiltering(new QCheckBox(ToQString(text::kEnableFiltering))),
      m_statusCode(new QCheckBox(ToQString(text::kStatusCode))),
      m_contentType(new QCheckBox(ToQString(text::kContentType))),
      m_or(new QRadioButton(ToQString(text::kOr))),
      m_and(new QRadioButton(ToQString(text::kAnd))),
      m_statusList(NewStatusList(m_model)),
      m_typeList(NewTypeList(m_model)) {
  setWindowTitle(ToQString(text::kTitle));
  setModal(true);

  auto* options = new QGroupBox(ToQString(text::kOptionsGroup));
  auto* optionsRow = new QHBoxLayout(options);
  optionsRow->addWidget(m_enableFiltering);
  optionsRow->addStretch();
  optionsRow->addWidget(new QLabel(ToQString(text::kCombineLabel)));
  optionsRow->addWidget(m_or);
  optionsRow->addWidget(m_and);

  auto* conditions = new QGroupBox(ToQString(text::kConditionsGroup));
  auto* conditionsColumn = new QVBoxLayout(conditions);
  conditionsColumn->addWidget(m_statusCode);
  conditionsColumn->addWidget(m_statusList, 3);
  conditionsColumn->addWidget(m_contentType);
  conditionsColumn->addWidget(m_typeList, 1);

  auto* ok = new QPushButton(ToQString(text::kOk));
  auto* cancel = new QPushButton(ToQString(text::kCancel));
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options);
  layout->addWidget(conditions, 1);
  layout->addLayout(buttons);
  resize(640, 520);

  Refresh();

  connect(m_enableFiltering, &QCheckBox::clicked, this,
          [this] { OnCheckBoxClicked(FilterCheckBox::kEnableFiltering); });
  connect(m_statusCode, &QCheckBox::clicked, this,
          [this] { OnCheckBoxClicked(FilterCheckBox::kStatusCode); });
  connect(m_contentType, &QCheckBox::clicked, this,
          [this] { OnCheckBoxClicked(FilterCheckBox::kContentType); });
  connect(m_or, &QRadioButton::clicked, this, [this] { m_model.ChooseCombine(false); });
  connect(m_and, &QRadioButton::clicked, this, [this] { m_model.ChooseCombine(true); });
  connect(m_statusList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    OnRowCheckChanged(FilterList::kStatusCodes, m_statusList->indexOfTopLevelItem(item),
                      item->checkState(0) == Qt::Checked);
  });
  connect(m_typeList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    OnRowCheckChanged(FilterList::kContentTypes, m_typeList->row(item),
                      item->checkState() == Qt::Checked);
  });
  connect(ok, &QPushButton::clicked, this, &CFilterDialog::OnOk);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFilterDialog::OnCheckBoxClicked(FilterCheckBox box) {
  m_model.ClickCheckBox(box);
  Refresh();
}

void CFilterDialog::OnRowCheckChanged(FilterList list, int row, bool checked) {
  if (row < 0) return;
  const auto index = static_cast<std::size_t>(row);
  m_model.SetRowChecked(list, index, checked);
  // The model ignores a row of a disabled list: show what it kept.
  const Qt::CheckState kept = CheckState(m_model.IsRowChecked(list, index));
  const QSignalBlocker blockStatus(m_statusList);
  const QSignalBlocker blockTypes(m_typeList);
  if (list == FilterList::kStatusCodes) {
    m_statusList->topLevelItem(row)->setCheckState(0, kept);
  } else {
    m_typeList->item(row)->setCheckState(kept);
  }
}

void CFilterDialog::OnOk() {
  m_model.Ok();
  accept();
}

void CFilterDialog::Refresh() {
  m_enableFiltering->setChecked(m_model.IsChecked(FilterCheckBox::kEnableFiltering));
  m_statusCode->setChecked(m_model.IsChecked(FilterCheckBox::kStatusCode));
  m_contentType->setChecked(m_model.IsChecked(FilterCheckBox::kContentType));
  (m_model.AndChosen() ? m_and : m_or)->setChecked(true);

  m_statusCode->setEnabled(m_model.IsEnabled(FilterControl::kStatusCheck));
  m_contentType->setEnabled(m_model.IsEnabled(FilterControl::kTypeCheck));
  m_statusList->setEnabled(m_model.IsEnabled(FilterControl::kStatusList));
  m_typeList->setEnabled(m_model.IsEnabled(FilterControl::kTypeList));
  m_or->setEnabled(m_model.IsEnabled(FilterControl::kCombine));
  m_and->setEnabled(m_model.IsEnabled(FilterControl::kCombine));
}

}  // namespace tracewell::app
