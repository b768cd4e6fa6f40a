#pragma once
// The modal Find dialog: a text with the texts searched before, "Match case",
// "Whole word", "Up"/"Down", the seven scopes, Select All/None and Find Next, which
// selects and shows the next matching row of the grid and leaves the dialog open.

#include <QDialog>
#include <array>

#include "text/message_box.h"
#include "views/find_dialog_model.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tracewell::app {

class CFindDialog final : public QDialog {
  Q_OBJECT

 public:
  // Without a content reader the "Content" scope cannot be chosen.
  CFindDialog(CMainWindowModel& window, CFindHistory& history, const IContentReader* content,
              IMessageBox& messages, QWidget* parent);

 signals:
  // Find Next selected one row of the window's grid and showed its record: the
  // window shows that selection and refreshes the detail tabs.
  void rowFound();

 private:
  void OnFindNext();
  void SelectScopes(bool all);
  void ShowRecentTexts();
  // Shows the model's boxes and whether Find Next can run.
  void Refresh();

  CFindDialogModel m_model;
  IMessageBox& m_messages;
  bool m_hasContent;
  QComboBox* m_text;
  QCheckBox* m_matchCase;
  QCheckBox* m_wholeWord;
  QCheckBox* m_up;
  QCheckBox* m_down;
  std::array<QCheckBox*, kFindScopeCount> m_scopes{};
  QPushButton* m_findNext;
};

}  // namespace tracewell::app
