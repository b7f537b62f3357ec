// TD64StringGrid driven through real key, mouse, focus and drop events: the selection
// rules, navigation, the popup and double-click rules, the empty state, drops and the
// colours it paints.
#include "D64StringGrid.h"
#include "GridColors.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

TIntegerArray Selected(const TD64StringGrid& Grid) {
    TIntegerArray Rows;
    Grid.GetSelectedRows(Rows);
    return Rows;
}

TIntegerArray Range(int First, int Last) {
    TIntegerArray Rows;
    for (int Row = First; Row <= Last; ++Row)
        Rows.push_back(Row);
    return Rows;
}

} // namespace

class D64StringGridTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> Host;
    TD64StringGrid* Grid = nullptr;
    TD64StringGrid* Other = nullptr;
    uint8_t Entries[40][32] = {};

    // Shows two grids side by side, as the window does, and fills the first one with
    // Files rows in the way the window lists a directory.
    void Build(int Files, int Height = 13 + 10 * 8 + 2) {
        Host = std::make_unique<QWidget>();
        auto* Layout = new QHBoxLayout(Host.get());
        Layout->setContentsMargins(0, 0, 0, 0);
        Grid = new TD64StringGrid(Host.get());
        Other = new TD64StringGrid(Host.get());
        Layout->addWidget(Grid);
        Layout->addWidget(Other);
        Host->resize(480, Height);
        for (TD64StringGrid* View : {Grid, Other}) {
            View->SetRowHeight(0, 13);
            View->SetEmpty(true);
        }
        for (int Row = 1; Row <= Files; ++Row) {
            if (Grid->Empty())
                Grid->SetEmpty(false);
            else
                Grid->SetRowCount(Row + 1);
            Grid->SetRowEntry(Row, Entries[Row]);
        }
        Host->show();
        QVERIFY(QTest::qWaitForWindowExposed(Host.get()));
        Host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Host.get()));
        const int Width = Grid->ClientWidth();
        Grid->SetColWidth(0, Width / 8);
        Grid->SetColWidth(1, Width / 2);
        Grid->SetColWidth(2, Width / 8);
        Grid->SetColWidth(3, Width - Width / 8 * 2 - Width / 2 - 4);
        Grid->SetFocus();
        QVERIFY(Grid->hasFocus());
    }

    // A point inside Col of Row, with the grid scrolled to the top.
    QPoint CellPoint(int Row, int Col = 1) const {
        int Y = 0;
        for (int R = 0; R < Row; ++R)
            Y += Grid->RowHeight(R);
        int X = 0;
        for (int C = 0; C < Col; ++C)
            X += Grid->ColWidth(C) + 1;
        return QPoint(X + Grid->ColWidth(Col) / 2, Y + Grid->RowHeight(Row) / 2);
    }

    void Click(int Row, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Modifiers, CellPoint(Row));
    }

    void Key(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QTest::keyClick(Grid, Qt::Key(Key), Modifiers);
    }

    // Rows wholly visible under the header in the current viewport.
    int FullRows() const {
        return (Grid->viewport()->height() - Grid->RowHeight(0)) / Grid->DefaultRowHeight();
    }

    // A pixel of Col in Row away from the cell's text (the test rows have none) and frame.
    QColor CellPixel(TD64StringGrid* View, int Row, int Col) const {
        int X = 0;
        for (int C = 0; C < Col; ++C)
            X += View->ColWidth(C) + 1;
        int Y = 0;
        for (int R = 0; R < Row; ++R)
            Y += View->RowHeight(R);
        return View->viewport()->grab().toImage().pixelColor(X + 2, Y + View->RowHeight(Row) / 2);
    }

  private slots:
    void init() {
        TD64StringGrid::ShiftHeld = false;
        TD64StringGrid::CtrlHeld = false;
    }

    void cleanup() {
        Host.reset();
        Grid = Other = nullptr;
    }

    void constructionDefaults() {
        TD64StringGrid View;
        QCOMPARE(View.RowCount(), 2);
        QCOMPARE(View.ColCount(), 4);
        QCOMPARE(View.FixedRows(), 1);
        QCOMPARE(View.Row(), 1);
        QVERIFY(!View.Empty());
        QCOMPARE(View.Cell(0, 0), std::string("SIZE"));
        QCOMPARE(View.Cell(1, 0), std::string("NAME"));
        QCOMPARE(View.Cell(2, 0), std::string("TYPE"));
        QCOMPARE(View.Cell(3, 0), std::string("T/S"));
        QCOMPARE(View.FaceName(), QString("CBM64 Big/Graphic"));
        QCOMPARE(View.font().family(), QString("CBM64 Big/Graphic"));
        QCOMPARE(View.font().pixelSize(), 8);
        QCOMPARE(View.DefaultRowHeight(), 8);
        QVERIFY(Selected(View).empty());
        View.SetFaceName("CBM64 Small/Big");
        QCOMPARE(View.FaceName(), QString("CBM64 Small/Big"));
        QCOMPARE(View.font().family(), QString("CBM64 Small/Big"));
        QCOMPARE(View.font().pixelSize(), 8);
    }

    void cellsHoldRawBytes() {
        TD64StringGrid View;
        View.SetRowCount(3);
        const std::string Name("\"A&\xa0\x01\xff\"", 7);
        View.SetCell(1, 2, Name);
        QCOMPARE(View.Cell(1, 2), Name);
        View.SetCell(1, 5, "X"); // beyond the rows
        QCOMPARE(View.Cell(1, 5), std::string());
    }

    void selectionCalls() {
        Build(6);
        QVERIFY(Selected(*Grid).empty());
        Grid->SetRowSelected(0, true); // the header never carries a selection
        Grid->SetRowSelected(4, true);
        Grid->SetRowSelected(2, true);
        QCOMPARE(Selected(*Grid), (TIntegerArray{2, 4}));
        QVERIFY(Grid->IsRowSelected(4));
        QVERIFY(!Grid->IsRowSelected(40));
        Grid->SelectAll();
        QCOMPARE(Selected(*Grid), Range(1, 6));
        Grid->ClearSelection();
        QVERIFY(Selected(*Grid).empty());
        QCOMPARE(Grid->GetRowEntry(3), Entries[3]);
        QCOMPARE(Grid->GetRowEntry(0), nullptr);
    }

    void plainClickSelectsOnlyTheClickedRow() {
        Build(8);
        Grid->SetRowSelected(2, true);
        Grid->SetRowSelected(6, true);
        Click(4);
        QCOMPARE(Selected(*Grid), TIntegerArray{4});
        QCOMPARE(Grid->Row(), 4);
        Click(4); // the current row again: still the only one selected
        QCOMPARE(Selected(*Grid), TIntegerArray{4});
    }

    void ctrlClickTogglesOneRow() {
        Build(8);
        Click(2);
        QTest::keyPress(Grid, Qt::Key_Control);
        QVERIFY(TD64StringGrid::CtrlHeld);
        Click(5, Qt::ControlModifier);
        QCOMPARE(Selected(*Grid), (TIntegerArray{2, 5}));
        Click(2, Qt::ControlModifier);
        QCOMPARE(Selected(*Grid), TIntegerArray{5});
        QCOMPARE(Grid->Row(), 2);
        QTest::keyRelease(Grid, Qt::Key_Control);
        QVERIFY(!TD64StringGrid::CtrlHeld);
    }

    // A press on one of several selected rows may start a drag of them all: the click's
    // selection waits for the release.
    void pressOnASelectionWaitsForTheRelease() {
        Build(8);
        Click(2);
        Grid->SetRowSelected(5, true);
        QTest::mousePress(Grid->viewport(), Qt::LeftButton, {}, CellPoint(5));
        QCOMPARE(Selected(*Grid), (TIntegerArray{2, 5}));
        QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, {}, CellPoint(5));
        QCOMPARE(Selected(*Grid), TIntegerArray{5});
        QCOMPARE(Grid->Row(), 5);
    }

    void shiftClickSelectsFromTheAnchor() {
        Build(9);
        Click(3);
        QTest::keyPress(Grid, Qt::Key_Shift);
        Click(7, Qt::ShiftModifier);
        QCOMPARE(Selected(*Grid), Range(3, 7));
        QCOMPARE(Grid->Row(), 3);
        Click(1, Qt::ShiftModifier);
        QCOMPARE(Selected(*Grid), Range(1, 3));
        QCOMPARE(Grid->Row(), 3);
        QTest::keyRelease(Grid, Qt::Key_Shift);
        QVERIFY(!TD64StringGrid::ShiftHeld);
    }

    void anchorIsWhereShiftWentDown() {
        Build(9);
        Click(3);
        QTest::keyPress(Grid, Qt::Key_Shift);
        // Only the arrow's press: a full click would also release Shift.
        QTest::keyPress(Grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Grid->Row(), 4);
        Click(7, Qt::ShiftModifier);
        QCOMPARE(Selected(*Grid), Range(3, 7));
        QCOMPARE(Grid->Row(), 4);
        QTest::keyRelease(Grid, Qt::Key_Shift);
    }

    void shiftCtrlClickAddsTheRange() {
        Build(9);
        Click(8);
        Click(3);
        QTest::keyPress(Grid, Qt::Key_Control);
        Click(8, Qt::ControlModifier);
        QTest::keyPress(Grid, Qt::Key_Shift, Qt::ControlModifier);
        // Shift went down on row 8, the anchor.
        Click(5, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(Selected(*Grid), (TIntegerArray{3, 5, 6, 7, 8}));
        QCOMPARE(Grid->Row(), 8);
        QTest::keyRelease(Grid, Qt::Key_Shift, Qt::ControlModifier);
        QTest::keyRelease(Grid, Qt::Key_Control);
    }

    // Shift or Ctrl went down while another window had the focus, so the grid never saw
    // the key: a click or cursor key carrying the modifier acts as a plain one.
    void modifierPressedElsewhereActsAsPlain() {
        Build(9);
        Click(3);
        Click(7, Qt::ShiftModifier);
        QCOMPARE(Selected(*Grid), TIntegerArray{7});
        QCOMPARE(Grid->Row(), 7);
        // The arrow alone, without the Ctrl press QTest would send first.
        QKeyEvent CtrlDown(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
        QApplication::sendEvent(Grid, &CtrlDown);
        QCOMPARE(Selected(*Grid), TIntegerArray{8});
        QCOMPARE(Grid->Row(), 8);
    }

    void clickOutsideTheRowsClears() {
        Build(4);
        Grid->SelectAll();
        Click(2);
        Grid->SelectAll();
        Click(0);
        QVERIFY(Selected(*Grid).empty());
        QCOMPARE(Grid->Row(), 2);
        Grid->SelectAll();
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellPoint(4) + QPoint(0, 8));
        QVERIFY(Selected(*Grid).empty());
        QCOMPARE(Grid->Row(), 2);
    }

    void doubleClickLeavesNoSelection() {
        Build(6);
        QSignalSpy Spy(Grid, &TD64StringGrid::DblClick);
        // What the window system delivers: a click, then a second press followed by the
        // double-click event and the release.
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellPoint(4));
        QTest::mousePress(Grid->viewport(), Qt::LeftButton, {}, CellPoint(4));
        QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, CellPoint(4));
        QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, {}, CellPoint(4));
        QCOMPARE(Grid->Row(), 4);
        QVERIFY(Selected(*Grid).empty());
        QCOMPARE(Spy.count(), 1);
        QCOMPARE(Spy.first().first().value<TD64StringGrid*>(), Grid);
    }

    void plainKeysMoveAndSelectOneRow() {
        Build(6);
        Key(Qt::Key_Down);
        QCOMPARE(Grid->Row(), 2);
        QCOMPARE(Selected(*Grid), TIntegerArray{2});
        Key(Qt::Key_End);
        QCOMPARE(Grid->Row(), 6);
        QCOMPARE(Selected(*Grid), TIntegerArray{6});
        Key(Qt::Key_Up);
        QCOMPARE(Selected(*Grid), TIntegerArray{5});
        Key(Qt::Key_Home);
        QCOMPARE(Grid->Row(), 1);
        QCOMPARE(Selected(*Grid), TIntegerArray{1});
        Key(Qt::Key_Right);
        QCOMPARE(Grid->Row(), 1);
        QVERIFY(Selected(*Grid).empty());
    }

    void keysThatWouldLeaveTheListChangeNothing() {
        Build(5);
        Grid->SetRowSelected(3, true);
        for (int K : {Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Home}) {
            Key(K);
            QCOMPARE(Grid->Row(), 1);
            QCOMPARE(Selected(*Grid), TIntegerArray{3});
        }
        Key(Qt::Key_End);
        Grid->SetRowSelected(2, true);
        for (int K : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End}) {
            Key(K);
            QCOMPARE(Grid->Row(), 5);
            QCOMPARE(Selected(*Grid), (TIntegerArray{2, 5}));
        }
    }

    void shiftKeysToggleEachRowReached() {
        Build(6);
        Click(2);
        Key(Qt::Key_Down, Qt::ShiftModifier);
        Key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Selected(*Grid), Range(2, 4));
        Key(Qt::Key_Up, Qt::ShiftModifier); // back onto a selected row: toggled off
        QCOMPARE(Selected(*Grid), (TIntegerArray{2, 4}));
        QCOMPARE(Grid->Row(), 3);
        QVERIFY(!TD64StringGrid::ShiftHeld);
    }

    void pagesAndCtrlKeys() {
        Build(30);
        const int Page = FullRows() - 1;
        QVERIFY(Page >= 2);
        Key(Qt::Key_PageDown);
        QCOMPARE(Grid->Row(), 1 + Page);
        QCOMPARE(Selected(*Grid), TIntegerArray{1 + Page});
        Key(Qt::Key_PageUp);
        QCOMPARE(Grid->Row(), 1);

        // Ctrl+Down scrolls without moving the current row or touching the selection.
        Key(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(Grid->Row(), 1);
        QCOMPARE(Grid->verticalScrollBar()->value(), 1);
        QCOMPARE(Selected(*Grid), TIntegerArray{1});
        // Ctrl+Page Down: the last wholly visible row, now one further down.
        Key(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(Grid->Row(), 1 + FullRows());
        QCOMPARE(Selected(*Grid), (TIntegerArray{1, 1 + FullRows()}));
        // Ctrl+Page Up: the top visible row (row 2 after the scroll).
        Key(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(Grid->Row(), 2);
        Key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(Grid->verticalScrollBar()->value(), 0);
        QCOMPARE(Grid->Row(), 2);

        // Moving past the bottom scrolls the current row into view.
        Key(Qt::Key_End);
        QCOMPARE(Grid->Row(), 30);
        QCOMPARE(Grid->verticalScrollBar()->value(), Grid->verticalScrollBar()->maximum());
        QCOMPARE(Grid->verticalScrollBar()->maximum(), 30 - FullRows());
    }

    void otherKeysLeaveTheSelection() {
        Build(4);
        Click(3);
        QSignalSpy Spy(Grid, &TD64StringGrid::KeyPressed);
        QTest::keyClick(Grid, Qt::Key_Alt);
        QTest::keyClick(Grid, Qt::Key_F5);
        QTest::keyClick(Grid, Qt::Key_A);
        QTest::keyClick(Grid, Qt::Key_Return);
        QTest::keyClick(Grid, Qt::Key_Delete);
        QCOMPARE(Grid->Row(), 3);
        QCOMPARE(Selected(*Grid), TIntegerArray{3});
        QCOMPARE(Spy.count(), 2);
        QCOMPARE(Spy.at(0).at(1).value<QChar>(), QChar('a'));
        QCOMPARE(Spy.at(1).at(1).value<QChar>(), QChar(13));
        QCOMPARE(Spy.at(1).at(0).value<TD64StringGrid*>(), Grid);
    }

    void modifierFlagsAreSharedByAllGrids() {
        Build(3);
        QTest::keyPress(Grid, Qt::Key_Shift);
        QTest::keyPress(Grid, Qt::Key_Control, Qt::ShiftModifier);
        QVERIFY(TD64StringGrid::ShiftHeld && TD64StringGrid::CtrlHeld);
        QTest::keyRelease(Other, Qt::Key_Shift, Qt::ControlModifier);
        QTest::keyRelease(Other, Qt::Key_Control);
        QVERIFY(!TD64StringGrid::ShiftHeld && !TD64StringGrid::CtrlHeld);
    }

    void rightClickOpensThePopupOnlyOverRows() {
        Build(6);
        QMenu Menu;
        Menu.addAction("&Copy");
        Grid->SetPopupMenu(&Menu);
        QSignalSpy Shown(&Menu, &QMenu::aboutToShow);
        Click(2);
        Grid->SetRowSelected(5, true);

        // On a row outside the selection: that row alone, made current.
        QTest::mouseClick(Grid->viewport(), Qt::RightButton, {}, CellPoint(4));
        QCOMPARE(Shown.count(), 1);
        QCOMPARE(Selected(*Grid), TIntegerArray{4});
        QCOMPARE(Grid->Row(), 4);
        Menu.close();

        // On a selected row: the selection stays.
        Grid->SetRowSelected(6, true);
        QTest::mouseClick(Grid->viewport(), Qt::RightButton, {}, CellPoint(6));
        QCOMPARE(Shown.count(), 2);
        QCOMPARE(Selected(*Grid), (TIntegerArray{4, 6}));
        QCOMPARE(Grid->Row(), 6);
        Menu.close();

        QTest::mouseClick(Grid->viewport(), Qt::RightButton, {}, CellPoint(0));
        QTest::mouseClick(Grid->viewport(), Qt::RightButton, {}, CellPoint(6) + QPoint(0, 8));
        QCOMPARE(Shown.count(), 2);
        QCOMPARE(Selected(*Grid), (TIntegerArray{4, 6}));
    }

    void rightClickWithoutMenuChangesNothing() {
        Build(4);
        Click(2);
        QTest::mouseClick(Grid->viewport(), Qt::RightButton, {}, CellPoint(3));
        QCOMPARE(Selected(*Grid), TIntegerArray{2});
        QCOMPARE(Grid->Row(), 2);
    }

    void emptyStateKeepsOneBlankRow() {
        Build(8);
        Grid->SetRow(5);
        Grid->SetRowSelected(3, true);
        Grid->SetEmpty(true);
        QVERIFY(Grid->Empty());
        QCOMPARE(Grid->RowCount(), 2);
        // The shrink moved the current row to row 1 through the selection hook.
        QCOMPARE(Grid->Row(), 1);
        QCOMPARE(Selected(*Grid), TIntegerArray{1});
        QCOMPARE(Grid->GetRowEntry(1), nullptr);

        // Already empty: nothing is cleared.
        Grid->SetEmpty(true);
        QCOMPARE(Selected(*Grid), TIntegerArray{1});

        Grid->SetEmpty(false);
        Grid->SetEmpty(true);
        QVERIFY(Selected(*Grid).empty()); // the current row was already 1
    }

    void clickInAnEmptyGridSelectsTheBlankRowInvisibly() {
        Build(0);
        QVERIFY(Grid->Empty());
        Click(1);
        QCOMPARE(Selected(*Grid), TIntegerArray{1});
        QCOMPARE(Grid->GetRowEntry(1), nullptr);
        QCOMPARE(CellPixel(Grid, 1, 1), GridColors::Silver);
    }

    void verticalLinesFollowTheEmptyState() {
        Build(3);
        const int LineX = Grid->ColWidth(0);
        const int RowY = Grid->RowHeight(0) + 2 * Grid->DefaultRowHeight() + 3; // in row 3, unselected
        const QColor WithRows = Grid->viewport()->grab().toImage().pixelColor(LineX, RowY);
        QVERIFY(WithRows != GridColors::Silver);
        Grid->SetEmpty(true);
        QCOMPARE(Grid->viewport()->grab().toImage().pixelColor(LineX, Grid->RowHeight(0) + 3),
                 GridColors::Silver);
        // Lines between header cells stay.
        QVERIFY(Grid->viewport()->grab().toImage().pixelColor(LineX, 6) != GridColors::Silver);
        Grid->SetEmpty(false);
        QCOMPARE(Grid->viewport()->grab().toImage().pixelColor(LineX, Grid->RowHeight(0) + 3), WithRows);
    }

    void shrinkingMovesTheCurrentRowThroughTheHook() {
        Build(9);
        Grid->SetRow(8);
        Grid->SetRowSelected(9, true);
        Grid->SetRowSelected(2, true);
        Grid->SetRowCount(5);
        QCOMPARE(Grid->Row(), 4);
        // Rows that are gone do not stay selected, or commands would act on them.
        QCOMPARE(Selected(*Grid), (TIntegerArray{2, 4}));
        QCOMPARE(Grid->GetRowEntry(8), nullptr);
        Grid->SetRowCount(9);
        QVERIFY(!Grid->IsRowSelected(8));
        QCOMPARE(Grid->GetRowEntry(7), nullptr);
    }

    void setRowRefusesTheHeader() {
        Build(4);
        Grid->SetRow(3);
        Grid->SetRow(0);
        QCOMPARE(Grid->Row(), 3);
        QCOMPARE(Selected(*Grid), TIntegerArray{3});
    }

    void selectedRowColoursFollowTheFocus() {
        Build(5);
        for (int Row = 1; Row <= 2; ++Row)
            Other->SetRowCount(Row + 1);
        Other->SetEmpty(false);
        Grid->SetRowSelected(2, true);
        Other->SetRowSelected(1, true);
        const QPalette& Palette = Grid->palette();
        const QColor Active = GridColors::ActiveCaption(Palette).Background;
        const QColor Inactive = GridColors::InactiveCaption(Palette).Background;
        QVERIFY(Active != Inactive);
        QCOMPARE(CellPixel(Grid, 2, 2), Active);
        QCOMPARE(CellPixel(Grid, 3, 2), GridColors::Silver);
        QCOMPARE(CellPixel(Other, 1, 2), Inactive);

        QSignalSpy Entered(Other, &TD64StringGrid::Entered);
        Other->SetFocus();
        QCOMPARE(Entered.count(), 1);
        QCOMPARE(CellPixel(Grid, 2, 2), Inactive);
        QCOMPARE(CellPixel(Other, 1, 2), Active);
        for (int Col = 0; Col < 4; ++Col) // a header cell never shows the selection
            QCOMPARE(CellPixel(Grid, 0, Col), Inactive);
    }

    void currentRowHasOneFrameAroundAllCells() {
        Build(4);
        Click(2);
        const QImage Image = Grid->viewport()->grab().toImage();
        const QColor Active = GridColors::ActiveCaption(Grid->palette()).Background;
        const QColor Inverted(255 - Active.red(), 255 - Active.green(), 255 - Active.blue());
        const int Top = Grid->RowHeight(0) + Grid->DefaultRowHeight();
        const int X = Grid->ColWidth(0) + 3 + ((Top + Grid->ColWidth(0) + 3) & 1); // a dot: x + y even
        QCOMPARE(Image.pixelColor(X, Top), Inverted);
        QCOMPARE(Image.pixelColor(X + 1, Top), Active);
        // Other rows carry no frame.
        const int Below = Top + Grid->DefaultRowHeight();
        QCOMPARE(Image.pixelColor(X + 1, Below), GridColors::Silver);
        QCOMPARE(Image.pixelColor(X, Below), GridColors::Silver);
        // The frames of neighbouring cells cancel on the line between them.
        const int LineX = Grid->ColWidth(0);
        const QColor Line = Image.pixelColor(LineX, Grid->RowHeight(0) + 2);
        for (int Y = Top; Y < Top + Grid->DefaultRowHeight(); ++Y)
            QCOMPARE(Image.pixelColor(LineX, Y), Line);
    }

    void dropDeliversEveryPathAndShift() {
        Build(2);
        QSignalSpy Spy(Grid, &TD64StringGrid::FilesDropped);
        QMimeData Data;
        Data.setUrls({QUrl::fromLocalFile("/tmp/one.d64"), QUrl("https://example.org/a.prg"),
                      QUrl::fromLocalFile("/tmp/three.prg")});
        const QPoint Pos = CellPoint(1);
        QDragEnterEvent Enter(Pos, Qt::CopyAction, &Data, Qt::LeftButton, {});
        QApplication::sendEvent(Grid->viewport(), &Enter);
        QVERIFY(Enter.isAccepted());
        QDropEvent Drop(Pos, Qt::CopyAction, &Data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(Grid->viewport(), &Drop);
        QCOMPARE(Spy.count(), 1);
        QCOMPARE(Spy.first().at(0).value<TD64StringGrid*>(), Grid);
        QCOMPARE(Spy.first().at(1).toStringList(), (QStringList{"/tmp/one.d64", "/tmp/three.prg"}));
        QCOMPARE(Spy.first().at(2).toBool(), true);
    }

    void dropOfNonFilesIsRefused() {
        Build(2);
        QSignalSpy Spy(Grid, &TD64StringGrid::FilesDropped);
        QMimeData Data;
        Data.setUrls({QUrl("https://example.org/a.d64"), QUrl::fromLocalFile("/tmp/two.d64")});
        QDragEnterEvent Enter(CellPoint(1), Qt::CopyAction, &Data, Qt::LeftButton, {});
        QApplication::sendEvent(Grid->viewport(), &Enter);
        QVERIFY(!Enter.isAccepted());
        QMimeData Text;
        Text.setText("/tmp/one.d64");
        QDropEvent Drop(CellPoint(1), Qt::CopyAction, &Text, Qt::LeftButton, {});
        QApplication::sendEvent(Grid->viewport(), &Drop);
        QCOMPARE(Spy.count(), 0);
    }
};

QTEST_MAIN(D64StringGridTest)
#include "D64StringGridTest.moc"
