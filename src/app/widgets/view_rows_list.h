#pragma once
// A detail list for the copy and selection commands: the rows of its model, the
// selection of its Qt view.

#include "views/list_helper.h"
#include "widgets/text_rows_model.h"

class QAbstractItemView;

namespace tracewell::app {

class CViewRowsList final : public ISelectableList {
 public:
  CViewRowsList(QAbstractItemView& view, const CTextRowsModel& model) : m_view(view), m_model(model) {}

  std::size_t RowCount() const override { return m_model.Rows().size(); }
  // The columns the list's header shows.
  std::size_t ColumnCount() const override;
  std::span<const std::u16string> Row(std::size_t row) const override { return m_model.Rows().at(row); }
  bool IsSelected(std::size_t row) const override;
  void SelectAllRows() override;
  void InvertSelection() override;

 private:
  QAbstractItemView& m_view;
  const CTextRowsModel& m_model;
};

}  // namespace tracewell::app
