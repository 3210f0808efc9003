// The table model over a screen's grid, checked by Qt's own model tester while rows are fetched,
// replaced and moved through.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <string>

#include "QtTestSupport.h"
#include "host/GridModel.h"
#include "qt/GridTableModel.h"

namespace {

using storeadjust::TextGrid;
using storeadjust::qt::GridTableModel;

int modelTestWarnings = 0;
QtMessageHandler previousHandler = nullptr;

void CountModelTestWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (context.category != nullptr && QByteArray(context.category).startsWith("qt.modeltest")) ++modelTestWarnings;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

void Fill(TextGrid& grid, long dataRows) {
  grid.SetCols(3);
  grid.SetRows(dataRows + 1);
  grid.SetTextMatrix(0, 0, "批号");
  grid.SetTextMatrix(0, 1, "数量");
  grid.SetTextMatrix(0, 2, "有效期");
  for (long row = 1; row <= dataRows; ++row) {
    grid.SetTextMatrix(row, 0, "PH" + std::to_string(row));
    grid.SetTextMatrix(row, 1, std::to_string(row * 2));
  }
}

TEST(GridTableModelTest, HeaderRowLazyRowsResetAndCurrentRowPassQtsModelTester) {
  modelTestWarnings = 0;
  previousHandler = qInstallMessageHandler(CountModelTestWarnings);
  TextGrid grid;
  Fill(grid, 450);
  GridTableModel model(grid);
  EXPECT_EQ(model.rowCount(), GridTableModel::kFetchChunk);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("有效期"));
  EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("PH1"));
  while (model.canFetchMore({})) model.fetchMore({});
  EXPECT_EQ(model.rowCount(), 450);
  EXPECT_EQ(model.index(449, 1).data().toString(), QStringLiteral("900"));

  Fill(grid, 3);
  grid.NotifyContents();
  EXPECT_EQ(model.rowCount(), 3);

  QSignalSpy moved(&model, &GridTableModel::CurrentRowChanged);
  grid.Row = 2;
  grid.NotifyCurrent();
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(moved.front().front().toInt(), 1);

  grid.Clear();  // a grid emptied without telling shows nothing past its end
  EXPECT_FALSE(model.index(2, 0).data().isValid());
  grid.NotifyContents();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.columnCount(), 0);

  qInstallMessageHandler(previousHandler);
  EXPECT_EQ(modelTestWarnings, 0);
}

TEST(GridTableModelTest, ACurrentRowBeyondTheFetchedRowsIsFetched) {
  TextGrid grid;
  Fill(grid, 1000);
  GridTableModel model(grid);
  grid.Row = 901;
  EXPECT_EQ(model.CurrentModelRow(), 900);
  EXPECT_GT(model.rowCount(), 900);
}

// The one fetch the views and dialogs use to reach a row: whole chunks, never past the last row.
TEST(GridTableModelTest, FetchingThroughARowTakesWholeChunksAndStopsAtTheLastRow) {
  TextGrid grid;
  Fill(grid, 450);
  GridTableModel model(grid);
  model.FetchThrough(GridTableModel::kFetchChunk - 1);
  EXPECT_EQ(model.rowCount(), GridTableModel::kFetchChunk);
  model.FetchThrough(GridTableModel::kFetchChunk);
  EXPECT_EQ(model.rowCount(), 2 * GridTableModel::kFetchChunk);
  model.FetchThrough(5000);
  EXPECT_EQ(model.rowCount(), 450);
  EXPECT_FALSE(model.canFetchMore({}));
}

}  // namespace
