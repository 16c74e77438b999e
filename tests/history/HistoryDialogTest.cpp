#include "history/ui/HistoryDialog.h"
#include "history/ui/HistoryRowModel.h"

#include "HistoryFixture.h"

#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

QStringList Texts(int row) { return { QString("row %1").arg(row), QString::number(row * 2) }; }

} // namespace

// Texts are made for the rows a view asks for, once each, and rows are offered a batch at a time.
TEST(HistoryRowModel, MakesTextsOnlyForRowsAskedForAndOffersThemInBatches)
{
    constexpr int ROWS = HistoryRowModel::BATCH * 2 + 17;
    HistoryRowModel model(2, nullptr);
    std::multiset<int> made;
    model.Reset(ROWS, [&](int row) {
        made.insert(row);
        return Texts(row);
    });
    EXPECT_EQ(model.totalRows(), ROWS);
    EXPECT_EQ(model.rowCount(), HistoryRowModel::BATCH);
    EXPECT_TRUE(made.empty()) << "nothing is made before it is asked for";

    EXPECT_EQ(model.index(5, 1).data().toString(), "10");
    EXPECT_EQ(model.index(5, 0).data().toString(), "row 5");
    EXPECT_EQ(made.count(5), 1u) << "a row's texts are made once";
    EXPECT_EQ(made.size(), 1u);
    EXPECT_FALSE(model.index(HistoryRowModel::BATCH, 0).isValid()) << "a row not yet offered";

    int offers = 0;
    while (model.canFetchMore({})) {
        model.fetchMore({});
        ASSERT_LE(++offers, 2);
    }
    EXPECT_EQ(model.rowCount(), ROWS) << "the last batch is the rest, never more";
    EXPECT_EQ(model.index(ROWS - 1, 0).data().toString(), QString("row %1").arg(ROWS - 1));

    model.Reset(0, {});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST(HistoryRowModel, FetchingUpToARowOffersItAndNoFurtherThanItsBatch)
{
    HistoryRowModel model(2, nullptr);
    model.Reset(HistoryRowModel::BATCH * 5, Texts);
    for (const int row : { 0, HistoryRowModel::BATCH - 1, HistoryRowModel::BATCH, HistoryRowModel::BATCH * 3 + 1 }) {
        model.FetchUpTo(row);
        EXPECT_GT(model.rowCount(), row) << row;
        EXPECT_LE(model.rowCount(), (row / HistoryRowModel::BATCH + 1) * HistoryRowModel::BATCH) << row;
    }
    model.FetchUpTo(HistoryRowModel::BATCH * 9);
    EXPECT_EQ(model.rowCount(), HistoryRowModel::BATCH * 5) << "never past the last row";
}

// A history with more units than a batch: the dialog shows the first ones, reaches a unit far down
// when it is chosen, and offers the rest as the list is scrolled.
TEST(HistoryDialogRows, ALongHistoryIsShownAsScrolledAndEveryUnitCanBeChosen)
{
    HistoryFixture f;
    constexpr int UNITS = HistoryRowModel::BATCH * 2 + 30;
    HistoryDatabase db(f.path);
    for (int u = 0; u < UNITS; ++u) {
        const std::string serial = QString("%1-000000-00001").arg(u, 6, 10, QChar('0')).toStdString();
        ASSERT_TRUE(db.Record(f.Record(f.Unit(serial), ConnectionHost::CommandRead, true, nullptr, 1000 + u)));
    }
    const std::string oldest = "999999-000000-00001";
    for (const int64_t time : { 998, 999 })
        ASSERT_TRUE(db.Record(f.Record(f.Unit(oldest), ConnectionHost::CommandProgram, false, nullptr, time)));

    HistoryDialog dialog(nullptr);
    dialog.Reload(db, "sn:" + oldest);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTableView* units = dialog.unitTable();
    EXPECT_EQ(units->model()->rowCount(), HistoryRowModel::BATCH);
    EXPECT_EQ(HistoryDialog::CellText(units, 0, 0), QString::fromStdString(oldest + " (connected)"));
    EXPECT_EQ(HistoryDialog::CellText(units, 1, 0), QString("%1-000000-00001").arg(UNITS - 1, 6, 10, QChar('0')))
        << "then the most recently seen";
    EXPECT_EQ(HistoryDialog::CellText(units, 0, 5), "2") << "its events counted";
    ASSERT_NE(dialog.CurrentUnit(), nullptr);
    EXPECT_EQ(dialog.eventTable()->model()->rowCount(), 2) << "the connected unit's events";

    QScrollBar* scroll = units->verticalScrollBar();
    QTRY_VERIFY(scroll->maximum() > 0);
    scroll->setValue(scroll->maximum());
    EXPECT_GT(units->model()->rowCount(), HistoryRowModel::BATCH) << "scrolling to the end offers the next rows";

    const int farRow = UNITS; // the units and the connected one
    dialog.SelectUnit(farRow);
    ASSERT_NE(dialog.CurrentUnit(), nullptr);
    EXPECT_EQ(dialog.CurrentUnit()->serialNumber, "000000-000000-00001");
    EXPECT_EQ(HistoryDialog::CellText(units, farRow, 0), "000000-000000-00001");
    EXPECT_EQ(dialog.eventTable()->model()->rowCount(), 1) << "the chosen unit's events follow the choice";
}
