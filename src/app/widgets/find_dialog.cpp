#include "widgets/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

namespace text = find_dialog_text;

QCheckBox* NewCheckBox(std::u16string_view label) { return new QCheckBox(ToQString(label)); }

QGroupBox* NewPairGroup(std::u16string_view title, QCheckBox* first, QCheckBox* second) {
  auto* group = new QGroupBox(ToQString(title));
  auto* column = new QVBoxLayout(group);
  column->addWidget(first);
  column->addWidget(second);
  return group;
}

}  // namespace

CFindDialog::CFindDialog(CMainWindowModel& window, CFindHistory& history,
                         const IContentReader* content, IMessageBox& messages, QWidget* parent)
    : QDialog(parent),
      m_model(window, history, content),
      m_messages(messages),
      m_hasContent(content != nullptr),
      m_text(new QComboBox),
      m_matchCase(NewCheckBox(text::kMatchCase)),
      m_wholeWord(NewCheckBox(text::kWholeWord)),
      m_up(NewCheckBox(text::kUp)),
      m_down(NewCheckBox(text::kDown)),
      m_findNext(new QPushButton(ToQString(text::kFindNext))) {
  setWindowTitle(ToQString(text::kTitle));
  setModal(true);

  m_text->setEditable(true);
  m_text->setInsertPolicy(QComboBox::NoInsert);
  m_text->setMinimumContentsLength(30);
  ShowRecentTexts();
  auto* label = new QLabel(ToQString(text::kTextLabel));
  label->setBuddy(m_text);
  auto* textRow = new QHBoxLayout;
  textRow->addWidget(label);
  textRow->addWidget(m_text, 1);

  auto* scope = new QGroupBox(ToQString(text::kScopeGroup));
  auto* scopeGrid = new QGridLayout(scope);
  for (std::size_t index = 0; index < kFindScopeCount; ++index) {
    m_scopes[index] = NewCheckBox(text::kScopes[index]);
    scopeGrid->addWidget(m_scopes[index], static_cast<int>(index / 2), static_cast<int>(index % 2));
  }
  m_scopes[static_cast<std::size_t>(FindScope::kContent)]->setEnabled(m_hasContent);

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(NewPairGroup(text::kOptionsGroup, m_matchCase, m_wholeWord));
  boxes->addWidget(NewPairGroup(text::kDirectionGroup, m_up, m_down));

  auto* selectAll = new QPushButton(ToQString(text::kSelectAll));
  auto* selectNone = new QPushButton(ToQString(text::kSelectNone));
  auto* cancel = new QPushButton(ToQString(text::kCancel));
  m_findNext->setDefault(true);
  for (QPushButton* button : {selectAll, selectNone, cancel}) button->setAutoDefault(false);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_findNext);
  buttons->addWidget(cancel);
  buttons->addSpacing(12);
  buttons->addWidget(selectAll);
  buttons->addWidget(selectNone);
  buttons->addStretch();

  auto* inputs = new QVBoxLayout;
  inputs->addLayout(textRow);
  inputs->addLayout(boxes);
  inputs->addWidget(scope);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(inputs, 1);
  layout->addLayout(buttons);

  Refresh();
  m_text->setFocus();

  connect(m_text, &QComboBox::editTextChanged, this, [this](const QString& query) {
    m_model.Query().text = FromQString(query);
    Refresh();
  });
  connect(m_matchCase, &QCheckBox::toggled, this, [this](bool on) { m_model.Query().matchCase = on; });
  connect(m_wholeWord, &QCheckBox::toggled, this, [this](bool on) { m_model.Query().wholeWord = on; });
  connect(m_up, &QCheckBox::clicked, this, [this](bool on) {
    m_model.CheckUp(on);
    Refresh();
  });
  connect(m_down, &QCheckBox::clicked, this, [this](bool on) {
    m_model.CheckDown(on);
    Refresh();
  });
  for (std::size_t index = 0; index < kFindScopeCount; ++index) {
    connect(m_scopes[index], &QCheckBox::clicked, this, [this, index](bool on) {
      m_model.Query().SetScope(static_cast<FindScope>(index), on);
      Refresh();
    });
  }
  connect(selectAll, &QPushButton::clicked, this, [this] { SelectScopes(true); });
  connect(selectNone, &QPushButton::clicked, this, [this] { SelectScopes(false); });
  connect(m_findNext, &QPushButton::clicked, this, &CFindDialog::OnFindNext);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFindDialog::OnFindNext() {
  if (!m_model.CanFindNext()) return;
  const std::optional<UserMessage> message = m_model.FindNext();
  ShowRecentTexts();
  const bool found = !message || *message != kMsgFindNotFound;
  if (found) emit rowFound();
  if (message) m_messages.ShowMessage(*message);
}

void CFindDialog::SelectScopes(bool all) {
  if (all) {
    m_model.SelectAllScopes();
    // Nothing to search in the pages' content without a reader.
    if (!m_hasContent) m_model.Query().SetScope(FindScope::kContent, false);
  } else {
    m_model.SelectNoScopes();
  }
  Refresh();
}

void CFindDialog::ShowRecentTexts() {
  const QString current = m_text->currentText();
  const QSignalBlocker block(m_text);
  m_text->clear();
  for (const std::u16string& recent : m_model.RecentTexts()) m_text->addItem(ToQString(recent));
  m_text->setEditText(current);
}

void CFindDialog::Refresh() {
  m_up->setChecked(m_model.IsUpChecked());
  m_down->setChecked(m_model.IsDownChecked());
  for (std::size_t index = 0; index < kFindScopeCount; ++index) {
    m_scopes[index]->setChecked(m_model.Query().HasScope(static_cast<FindScope>(index)));
  }
  m_findNext->setEnabled(m_model.CanFindNext());
}

}  // namespace tracewell::app
