// The grid's Qt model against the core's grid: each change reaches the views as
// exactly the change it is (checked by Qt's own model tester as well), batches
// coalesce, and a sort carries persistent indexes (the selection) with their rows.

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "support/ordinal_collator.h"
#include "widgets/qt_text.h"
#include "window/grid_table_model.h"

namespace tracewell::app {
namespace {

constexpr std::size_t kResult = 5;
constexpr std::size_t kSize = 6;
constexpr std::size_t kUrl = 8;

struct Grid {
  testing::OrdinalCollator collator;
  CSessionGridModel core{collator};
  TransactionArray session;
  CGridTableModel model{core};
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};

  CHttpTransaction& Add(std::u16string url) {
    auto record = std::make_unique<CHttpTransaction>();
    record->m_strUrl = std::move(url);
    session.push_back(std::move(record));
    core.AddTransactionRow(*session.back());
    return *session.back();
  }
  QString Cell(int row, std::size_t column) const {
    return model.data(model.index(row, static_cast<int>(column)), Qt::DisplayRole).toString();
  }
};

}  // namespace

class GridTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void ColumnsTitlesAndAlignmentsComeFromTheGrid() {
    Grid g;
    g.Add(u"http://h/a");
    QCOMPARE(g.model.columnCount(), 10);
    QStringList titles;
    for (int column = 0; column < 10; ++column) {
      titles << g.model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QCOMPARE(titles, QStringList({"No.", "Started", "Duration(s)", "Sent", "Method", "Result",
                                  "Size", "Type", "URL", "IP Address"}));
    const auto alignment = [&](int column) {
      return g.model.data(g.model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    QCOMPARE(alignment(0), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(alignment(6), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(alignment(8), Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(g.Cell(0, kUrl), QString("http://h/a"));
  }

  void RowsAndCellsReachTheViewsOneByOneOutsideABatch() {
    Grid g;
    QSignalSpy inserted(&g.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&g.model, &QAbstractItemModel::dataChanged);
    CHttpTransaction& a = g.Add(u"http://h/a");
    g.Add(u"http://h/b");
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted[1][1].toInt(), 1);
    QCOMPARE(inserted[1][2].toInt(), 1);

    a.m_strResult = u"200";
    a.m_nSize = 512;
    g.core.UpdateTransactionRow(a, 0x20 | 0x40 | 0x400);
    QCOMPARE(changed.count(), 1);
    const auto topLeft = changed[0][0].value<QModelIndex>();
    const auto bottomRight = changed[0][1].value<QModelIndex>();
    QCOMPARE(topLeft.row(), 0);
    QCOMPARE(topLeft.column(), int(kResult));
    QCOMPARE(bottomRight.row(), 0);
    QCOMPARE(bottomRight.column(), int(kSize));
    QCOMPARE(g.Cell(0, kResult), QString("200"));
    QCOMPARE(g.Cell(0, kSize), QString("512"));
  }

  void ABatchCoalescesInsertsAndReportsChangesOnlyForKnownRows() {
    Grid g;
    CHttpTransaction& known = g.Add(u"http://h/known");
    QSignalSpy inserted(&g.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&g.model, &QAbstractItemModel::dataChanged);
    {
      const CGridTableModel::CBatch batch(g.model);
      for (int i = 0; i < 50; ++i) {
        CHttpTransaction& fresh = g.Add(u"http://h/" + FromQString(QString::number(i)));
        fresh.m_strResult = u"204";
        g.core.UpdateTransactionRow(fresh, 0x20);  // read whole when inserted
      }
      known.m_strResult = u"500";
      g.core.UpdateTransactionRow(known, 0x20);
      known.m_strMethod = u"GET";
      g.core.UpdateTransactionRow(known, 0x10);
      QCOMPARE(g.model.rowCount(), 1);  // nothing told yet
      QCOMPARE(inserted.count(), 0);
    }
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 1);
    QCOMPARE(inserted[0][2].toInt(), 50);
    QCOMPARE(changed.count(), 1);  // the known row, Method and Result at once
    QCOMPARE(changed[0][0].value<QModelIndex>().column(), 4);
    QCOMPARE(changed[0][1].value<QModelIndex>().column(), int(kResult));
    QCOMPARE(g.Cell(50, kResult), QString("204"));

    // Any batch that closes tells the views what is pending, also inside another.
    const CGridTableModel::CBatch outer(g.model);
    g.Add(u"http://h/outer");
    { const CGridTableModel::CBatch inner(g.model); }
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(g.model.rowCount(), 52);
  }

  void DeletingAndRebuildingInABatchIsOneReset() {
    Grid g;
    g.Add(u"http://h/a");
    g.Add(u"http://h/b");
    QSignalSpy reset(&g.model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&g.model, &QAbstractItemModel::rowsInserted);
    {
      const CGridTableModel::CBatch batch(g.model);
      g.core.DeleteAllRows();
      g.core.AddTransactionRow(*g.session[1]);
    }
    QCOMPARE(reset.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(g.model.rowCount(), 1);
    QCOMPARE(g.Cell(0, kUrl), QString("http://h/b"));
    QCOMPARE(g.Cell(0, 0), QString("0"));
  }

  void ASortMovesPersistentIndexesWithTheirRows() {
    Grid g;
    for (const auto* url : {u"http://h/c", u"http://h/a", u"http://h/b"}) g.Add(url);
    const QPersistentModelIndex c(g.model.index(0, kUrl));
    const QPersistentModelIndex b(g.model.index(2, 0));
    QSignalSpy layout(&g.model, &QAbstractItemModel::layoutChanged);
    QSignalSpy reset(&g.model, &QAbstractItemModel::modelReset);
    g.core.SortByColumn(kUrl);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(layout[0][1].value<QAbstractItemModel::LayoutChangeHint>(),
             QAbstractItemModel::VerticalSortHint);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(c.row(), 2);
    QCOMPARE(c.column(), int(kUrl));
    QCOMPARE(b.row(), 1);
    QCOMPARE(g.Cell(0, kUrl), QString("http://h/a"));
  }

  void ASortInABatchTellsThePendingChangesFirst() {
    Grid g;
    g.Add(u"http://h/b");
    QSignalSpy inserted(&g.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&g.model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&g.model, &QAbstractItemModel::modelReset);
    QList<int> rowsAtLayoutChange;
    connect(&g.model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            [&] { rowsAtLayoutChange << g.model.rowCount(); });
    {
      const CGridTableModel::CBatch batch(g.model);
      g.session[0]->m_strResult = u"301";
      g.core.UpdateTransactionRow(*g.session[0], 0x20);
      g.Add(u"http://h/a");
      g.core.SortByColumn(kUrl);
    }
    QCOMPARE(rowsAtLayoutChange, QList<int>({2}));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>().row(), 0);  // where "b" stood then
    QCOMPARE(reset.count(), 0);
    QCOMPARE(g.Cell(0, kUrl), QString("http://h/a"));
    QCOMPARE(g.Cell(1, kResult), QString("301"));
  }

  void TheCoreForgetsTheModelWhenItGoes() {
    testing::OrdinalCollator collator;
    CSessionGridModel core(collator);
    CHttpTransaction record;
    {
      CGridTableModel model(core);
      core.AddTransactionRow(record);
      QCOMPARE(model.rowCount(), 1);
    }
    core.AddTransactionRow(record);  // no listener left to call
    core.DeleteAllRows();
  }
};

}  // namespace tracewell::app

QTEST_GUILESS_MAIN(tracewell::app::GridTableModelTest)
#include "grid_table_model_test.moc"
