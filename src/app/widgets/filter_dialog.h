#pragma once
// The modal filter dialog: "Enable Filtering", OR/AND, and the status-code and
// content-type conditions with their check-box lists. It edits the settings in
// place through the core's dialog model; exec() is Accepted for OK (the settings are
// written) and Rejected for Cancel (what check-box clicks wrote stays).

#include <QDialog>

#include "views/filter_dialog_model.h"

class QCheckBox;
class QListWidget;
class QRadioButton;
class QTreeWidget;

namespace tracewell::app {

class CFilterDialog final : public QDialog {
  Q_OBJECT

 public:
  CFilterDialog(FilterSettings& settings, QWidget* parent);

 private:
  void OnCheckBoxClicked(FilterCheckBox box);
  void OnRowCheckChanged(FilterList list, int row, bool checked);
  void OnOk();
  // Shows the model's check states and enabling.
  void Refresh();

  CFilterDialogModel m_model;
  QCheckBox* m_enableFiltering;
  QCheckBox* m_statusCode;
  QCheckBox* m_contentType;
  QRadioButton* m_or;
  QRadioButton* m_and;
  QTreeWidget* m_statusList;
  QListWidget* m_typeList;
};

}  // namespace tracewell::app
