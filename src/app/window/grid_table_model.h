#pragma once
// The session grid as a Qt table model. It reads the core's grid and tells the views
// exactly what changed: appended rows as inserts, rewritten cells as data changes, a
// deletion of every row as a reset and a sort as a layout change that moves the
// selection with its rows. Changes made while a batch is open are held back and
// reach the views when a batch closes, so a burst of capture messages costs one
// insert; a sort tells them what is pending first.

#include <QAbstractTableModel>
#include <map>
#include <utility>

#include "views/session_grid.h"

namespace tracewell::app {

class CGridTableModel final : public QAbstractTableModel, private IGridRowsListener {
  Q_OBJECT

 public:
  explicit CGridTableModel(CSessionGridModel& grid, QObject* parent = nullptr);
  ~CGridTableModel() override;

  // Holds the views' news back while it lives and tells them everything pending
  // when it goes, also when other batches are still open.
  class CBatch {
   public:
    explicit CBatch(CGridTableModel& model) : m_model(model) { ++m_model.m_batchDepth; }
    ~CBatch() {
      --m_model.m_batchDepth;
      m_model.Flush();
    }
    CBatch(const CBatch&) = delete;
    CBatch& operator=(const CBatch&) = delete;

   private:
    CGridTableModel& m_model;
  };

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void OnRowAppended(std::size_t row) override;
  void OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) override;
  void OnAllRowsDeleted() override;
  void OnRowsSorting() override;
  void OnRowsSorted(std::span<const std::size_t> oldPositions) override;

  void FlushUnlessBatched();
  void Flush();

  CSessionGridModel& m_grid;
  int m_batchDepth = 0;
  // What the views know: this many rows, and the cells still to be repainted.
  int m_shownRows = 0;
  bool m_resetPending = false;
  std::map<int, std::pair<int, int>> m_changedColumns;  // row -> first and last column
};

}  // namespace tracewell::app
