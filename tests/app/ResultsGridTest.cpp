// The results grid as people use it: keyboard range selection, clicks and drags in either part
// of the grid, the context menu anywhere in it, and columns that fill it exactly.
#include "app/ResultsGrid.h"
#include "app/MainWindow.h"
#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

class ResultsGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini",
                  "[Config]\r\nLangId=Eng\r\n[FormMain]\r\nLeft=0\r\nTop=0\r\nWidth=1000\r\nHeight=500\r\n");
        QByteArray file;
        for (int i = 1; i <= 14; ++i)
            file.append(test::RecordBytes(test::SampleRecord(static_cast<uint16_t>(i))));
        dir.Write("fourteen.lum1", file);
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        form->show();
        dialogs.fileAnswers.push_back(dir.File("fourteen.lum1"));
        form->AOpenExecute();
        grid = form->StringGrid1;
        fixed = grid->findChild<QTableView*>(QStringLiteral("StringGrid1Fixed"));
        grid->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override { form->FormClose(); }

    // The first and last record numbers of the rows Ctrl+C copies.
    std::pair<int, int> CopiedRecords() {
        QGuiApplication::clipboard()->setText(QString());
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split("\r\n", Qt::SkipEmptyParts);
        if (lines.isEmpty())
            return {0, 0};
        return {lines.front().section('\t', 0, 0).toInt(), lines.back().section('\t', 0, 0).toInt()};
    }
    QPoint RowCentre(QTableView* view, int row, int column) {
        return view->visualRect(view->model()->index(row, column)).center();
    }
    // Settles queued work, the mouse-up of the grid among it.
    static void Settle() { QCoreApplication::processEvents(); }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    ResultsGrid* grid = nullptr;
    QTableView* fixed = nullptr;
};

TEST_F(ResultsGridTest, EveryKeyboardRangeGestureExtendsTheWholeRowSelectionFromItsAnchor) {
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const auto ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, none = Qt::NoModifier;
    struct Case {
        const char* gesture;
        std::vector<Key> keys;
        std::pair<int, int> records;
    };
    const std::vector<Case> cases = {
        {"Ctrl+Home, Ctrl+Shift+End", {{Qt::Key_Home, ctrl}, {Qt::Key_End, ctrl | shift}}, {1, 14}},
        {"Ctrl+End, Ctrl+Shift+Home", {{Qt::Key_End, ctrl}, {Qt::Key_Home, ctrl | shift}}, {1, 14}},
        {"Home, Shift+End", {{Qt::Key_Home, none}, {Qt::Key_End, shift}}, {1, 14}},
        {"End, Shift+Up three times",
         {{Qt::Key_End, none}, {Qt::Key_Up, shift}, {Qt::Key_Up, shift}, {Qt::Key_Up, shift}},
         {11, 14}},
        {"Down twice, Shift+Home",
         {{Qt::Key_Home, none}, {Qt::Key_Down, none}, {Qt::Key_Down, none}, {Qt::Key_Home, shift}},
         {1, 3}},
        {"Shift+Down then a plain Down starts over",
         {{Qt::Key_Home, none}, {Qt::Key_Down, shift}, {Qt::Key_Down, none}},
         {3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gesture);
        for (const Key& k : c.keys)
            QTest::keyClick(grid, k.key, k.modifiers);
        EXPECT_EQ(CopiedRecords(), c.records);
        EXPECT_EQ(form->ACopyCtrlC->isEnabled(), c.records.first != c.records.second);
    }
    // A page down from the top and a page up from the bottom keep their anchors.
    QTest::keyClick(grid, Qt::Key_Home);
    QTest::keyClick(grid, Qt::Key_PageDown, shift);
    EXPECT_EQ(CopiedRecords().first, 1);
    EXPECT_GT(CopiedRecords().second, 1);
    QTest::keyClick(grid, Qt::Key_End);
    QTest::keyClick(grid, Qt::Key_PageUp, shift);
    EXPECT_LT(CopiedRecords().first, 14);
    EXPECT_EQ(CopiedRecords().second, 14);
}

TEST_F(ResultsGridTest, AClickInTheFixedColumnsSetsTheAnchorAndEveryReleaseRechecksTheCopyCommands) {
    // Rows 3 to 6 selected by keys; a click on one of them in the fixed columns selects it alone.
    QTest::keyClick(grid, Qt::Key_Home);
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(grid, Qt::Key_Down);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(form->ACopyCtrlC->isEnabled());
    QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, RowCentre(fixed, 4, 0));
    Settle();
    EXPECT_FALSE(form->ACopyCtrlC->isEnabled());
    EXPECT_EQ(CopiedRecords(), std::make_pair(5, 5));
    // The click there is the anchor of the next Shift selection.
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(CopiedRecords(), std::make_pair(5, 7));
    // A click on a cell of the scrolling part, on one of the selected rows.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, RowCentre(grid, 5, 4));
    Settle();
    EXPECT_FALSE(form->ACopyCtrlC->isEnabled());
    EXPECT_EQ(CopiedRecords(), std::make_pair(6, 6));
}

TEST_F(ResultsGridTest, DraggingARowByItsFixedColumnsMovesIt) {
    QTest::mousePress(fixed->viewport(), Qt::LeftButton, {}, RowCentre(fixed, 1, 0));
    for (int row : {2, 3, 4}) {
        QMouseEvent move(QEvent::MouseMove, RowCentre(fixed, row, 0),
                         fixed->viewport()->mapToGlobal(RowCentre(fixed, row, 0)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(fixed->viewport(), &move);
    }
    QTest::mouseRelease(fixed->viewport(), Qt::LeftButton, {}, RowCentre(fixed, 4, 0));
    Settle();
    const std::vector<int> order = grid->VisualRowOrder();
    EXPECT_EQ(order[4], 1); // record 2 now stands fifth
    EXPECT_EQ(order[1], 2);
    EXPECT_EQ(CopiedRecords(), std::make_pair(2, 2)); // the moved row is the selected one
}

TEST_F(ResultsGridTest, AColumnDraggedByItsTitleKeepsItsWidthInItsNewPlace) {
    // Shares far apart and above the 50-pixel minimum on the 800-pixel test screen, so that a
    // column's width tells which column it is.
    form->StoredColWidth = {45, 125, 900, 1300, 1100, 2000, 800, 1200, 1000, 900, 800};
    form->FormResize();
    QHeaderView* titles = grid->horizontalHeader();
    const int dragged = grid->ColumnWidths()[2]; // "Density"
    ASSERT_GT(grid->ColumnWidths()[5], dragged + 20);
    auto at = [&](int visual) {
        const int logical = titles->logicalIndex(visual);
        return QPoint(titles->sectionViewportPosition(logical) + titles->sectionSize(logical) / 2, 5);
    };
    const QPoint from = at(2), to = at(5) + QPoint(5, 0); // past the middle of the fifth title
    QTest::mousePress(titles->viewport(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step) {
        const QPoint p = from + (to - from) * step / 10;
        QMouseEvent move(QEvent::MouseMove, p, titles->viewport()->mapToGlobal(p), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(titles->viewport(), &move);
    }
    QTest::mouseRelease(titles->viewport(), Qt::LeftButton, {}, to);
    Settle();
    ASSERT_EQ(grid->VisualColumnOrder()[5], 2) << "the drag did not move the column";
    // The widths stored at the release belong to the places after the move: the next layout
    // gives the dragged column, now fifth, its own width back.
    form->FormResize();
    EXPECT_NEAR(grid->ColumnWidths()[2], dragged, 1)
        << "its place's old width is " << grid->ColumnWidths()[5];
}

TEST_F(ResultsGridTest, ContextMenuOpensAnywhereInTheGrid) {
    QSignalSpy spy(grid, &ResultsGrid::contextMenuAt);
    QTest::keyClick(grid, Qt::Key_Home);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier); // two rows: "Copy selected" on
    const std::vector<std::pair<const char*, QWidget*>> places = {
        {"a cell", grid->viewport()},
        {"a fixed column", fixed->viewport()},
        {"the titles", grid->horizontalHeader()->viewport()},
        {"the fixed columns' titles", fixed->horizontalHeader()->viewport()},
    };
    for (const auto& [place, widget] : places) {
        SCOPED_TRACE(place);
        form->ACopyCtrlC->setEnabled(false); // the menu's opening must check the commands again
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(widget, &e);
        EXPECT_TRUE(form->PopupMenu1->isVisible());
        EXPECT_TRUE(form->itmPopUpCopySelect->isEnabled());
        form->PopupMenu1->hide();
    }
    EXPECT_EQ(spy.count(), static_cast<int>(places.size()));
}

TEST_F(ResultsGridTest, ColumnsFillTheGridExactlyAtTheStoredProportions) {
    // Proportions whose columns stay above the 50-pixel minimum at these widths (the test
    // screen is 800 pixels wide).
    form->StoredColWidth = {30, 60, 1111, 1111, 1111, 1111, 1111, 1111, 1111, 1111, 1111};
    for (const int width : {600, 700, 790}) {
        SCOPED_TRACE(width);
        form->resize(width, 500);
        Settle();
        int sum = 0;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            sum += grid->columnWidth(c);
        const int viewport = grid->viewport()->width();
        // Every column with its line; the carry may leave the last pixel of a fraction.
        EXPECT_LE(sum, viewport) << "sum " << sum << " client " << grid->ClientWidth() << " form "
                                 << form->width();
        EXPECT_GE(sum, viewport - 1);
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
        // No strip before the first column: the fixed part starts where the cells do.
        EXPECT_EQ(fixed->geometry().left(), grid->viewport()->geometry().left());
        EXPECT_EQ(grid->viewport()->geometry().left(), grid->frameWidth());
    }
    // The 50-pixel minimums: a narrow window scrolls sideways instead.
    form->resize(400, 300);
    Settle();
    EXPECT_TRUE(grid->horizontalScrollBar()->isVisible());
}

} // namespace
} // namespace lum1
