// TGridGeometry and GridColors: cell positions, hit testing, visible rows, scrolling
// limits and colour choice, checked without a window.
#include "GridGeometry.h"
#include "GridColors.h"

#include <QTest>

namespace {

// A header of 13 pixels over RowCount-1 rows of 8, the window's settings.
std::vector<int> Heights(int RowCount) {
    std::vector<int> Result(RowCount, 8);
    Result[0] = 13;
    return Result;
}

const std::vector<int> Widths{10, 20, 30, 40};

} // namespace

class GridGeometryTest : public QObject {
    Q_OBJECT

  private slots:
    void columnsAreSeparatedByOneLine() {
        const TGridGeometry Layout(Widths, Heights(3), 1, QSize(200, 100));
        int Left = 0;
        for (int Col = 0; Col < 4; ++Col) {
            QCOMPARE(Layout.ColLeft(Col), Left);
            QCOMPARE(Layout.LineX(Col), Left + Widths[Col]);
            QCOMPARE(Layout.CellRect(Col, 1), QRect(Left, 13, Widths[Col], 8));
            Left += Widths[Col] + 1;
        }
        QCOMPARE(Layout.GridWidth(), 10 + 20 + 30 + 40 + 4);
    }

    void lineCountsToTheColumnOnItsLeft() {
        const TGridGeometry Layout(Widths, Heights(3), 1, QSize(200, 100));
        QCOMPARE(Layout.ColAt(0), 0);
        QCOMPARE(Layout.ColAt(9), 0);
        QCOMPARE(Layout.ColAt(10), 0); // the line after column 0
        QCOMPARE(Layout.ColAt(11), 1);
        QCOMPARE(Layout.ColAt(Layout.GridWidth() - 1), 3);
        QCOMPARE(Layout.ColAt(Layout.GridWidth()), -1);
        QCOMPARE(Layout.ColAt(-1), -1);
    }

    void rowsHitBelowTheFixedHeader() {
        // Rows 1..9; scrolled so that row 4 is the first data row under the header.
        const TGridGeometry Layout(Widths, Heights(10), 4, QSize(200, 45));
        QCOMPARE(Layout.RowAt(0), 0);
        QCOMPARE(Layout.RowAt(12), 0);
        QCOMPARE(Layout.RowAt(13), 4);
        QCOMPARE(Layout.RowAt(20), 4);
        QCOMPARE(Layout.RowAt(21), 5);
        QCOMPARE(Layout.RowTop(5), 21);
        QCOMPARE(Layout.RowTop(3), -1);
        QVERIFY(Layout.RowRect(3).isEmpty());
        QCOMPARE(Layout.RowRect(4), QRect(0, 13, 200, 8));
        QCOMPARE(Layout.RowAt(44), 4 + (44 - 13) / 8); // partly shown at the bottom
        QCOMPARE(Layout.RowAt(45), -1);                // outside the client area
        QCOMPARE(Layout.RowAt(-1), -1);
    }

    void nothingBelowTheLastRow() {
        const TGridGeometry Layout(Widths, Heights(3), 1, QSize(200, 100));
        QCOMPARE(Layout.RowAt(13 + 2 * 8 - 1), 2);
        QCOMPARE(Layout.RowAt(13 + 2 * 8), -1);
        QCOMPARE(Layout.GridBottom(), 13 + 2 * 8);
        QCOMPARE(Layout.LastVisibleRow(), 2);
    }

    void visibleRowsAndPages() {
        // 37 pixels under the header: four whole rows and part of a fifth.
        const TGridGeometry Layout(Widths, Heights(20), 3, QSize(200, 13 + 37));
        QCOMPARE(Layout.LastFullyVisibleRow(), 3 + 3);
        QCOMPARE(Layout.LastVisibleRow(), 3 + 4);
        QCOMPARE(Layout.PageHeight(), 3);
        QCOMPARE(Layout.GridBottom(), 13 + 37);
    }

    void scrollLimits() {
        const TGridGeometry Layout(Widths, Heights(11), 1, QSize(200, 13 + 37));
        // Rows 7..10 fill the space; row 6 would push row 10 out.
        QCOMPARE(Layout.MaxTopRow(), 7);
        QCOMPARE(Layout.TopRowShowingAtBottom(5), 2);
        QCOMPARE(Layout.TopRowShowing(4), 1);  // already whole
        QCOMPARE(Layout.TopRowShowing(10), 7); // scrolls down just enough
        const TGridGeometry Scrolled(Widths, Heights(11), 6, QSize(200, 13 + 37));
        QCOMPARE(Scrolled.TopRowShowing(2), 2); // scrolls up to it
        QCOMPARE(Scrolled.TopRowShowing(8), 6);
        const TGridGeometry Short(Widths, Heights(3), 1, QSize(200, 13 + 37));
        QCOMPARE(Short.MaxTopRow(), 1);
    }

    void rowTallerThanTheSpace() {
        const TGridGeometry Layout(Widths, Heights(6), 2, QSize(200, 13 + 5));
        QCOMPARE(Layout.LastFullyVisibleRow(), 2);
        QCOMPARE(Layout.LastVisibleRow(), 2);
        QCOMPARE(Layout.PageHeight(), 1);
        QCOMPARE(Layout.MaxTopRow(), 5);
        QCOMPARE(Layout.TopRowShowing(4), 4);
    }

    void inactiveCaptionFromThePalette() {
        QPalette Palette;
        Palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 36, 106));
        Palette.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
        Palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(60, 70, 80));
        Palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(250, 240, 230));
        const GridColors::TCellColors Inactive = GridColors::InactiveCaption(Palette);
        QCOMPARE(Inactive.Background, QColor(60, 70, 80));
        QCOMPARE(Inactive.Text, QColor(250, 240, 230));

        // A text colour that does not read on its background (about 4:1) gives way to
        // white or black, whichever reads better; so does the header's white.
        Palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(100, 110, 120));
        Palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(1, 2, 3));
        QCOMPARE(GridColors::InactiveCaption(Palette).Text, QColor(Qt::white));
        Palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(200, 200, 200));
        Palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(250, 250, 250));
        QCOMPARE(GridColors::InactiveCaption(Palette).Text, QColor(Qt::black));
        QCOMPARE(GridColors::CellColors(Palette, true, false, false).Text, QColor(Qt::black));
        QCOMPARE(GridColors::ContrastRatio(Qt::black, Qt::white), 21.0);
    }

    void inactiveCaptionFallsBackWhenLikeActive() {
        QPalette Palette;
        Palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 36, 106));
        Palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(10, 36, 106));
        const GridColors::TCellColors Inactive = GridColors::InactiveCaption(Palette);
        QVERIFY(Inactive.Background != GridColors::ActiveCaption(Palette).Background);
        QCOMPARE(Inactive.Background, GridColors::FallbackInactiveCaption);
        QCOMPARE(Inactive.Text, GridColors::FallbackInactiveCaptionText);
    }

    void cellColoursByState() {
        QPalette Palette;
        Palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 36, 106));
        Palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(250, 250, 250));
        Palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(60, 70, 80));
        Palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(250, 240, 230));
        using GridColors::CellColors;
        // A header cell ignores selection and focus.
        for (bool Selected : {false, true})
            for (bool Focused : {false, true}) {
                QCOMPARE(CellColors(Palette, true, Selected, Focused).Background, QColor(60, 70, 80));
                QCOMPARE(CellColors(Palette, true, Selected, Focused).Text, QColor(Qt::white));
            }
        QCOMPARE(CellColors(Palette, false, false, true).Background, QColor(192, 192, 192));
        QCOMPARE(CellColors(Palette, false, false, true).Text, QColor(Qt::black));
        QCOMPARE(CellColors(Palette, false, true, true).Background, QColor(10, 36, 106));
        QCOMPARE(CellColors(Palette, false, true, true).Text, QColor(250, 250, 250));
        QCOMPARE(CellColors(Palette, false, true, false).Background, QColor(60, 70, 80));
        QCOMPARE(CellColors(Palette, false, true, false).Text, QColor(250, 240, 230));
    }
};

QTEST_APPLESS_MAIN(GridGeometryTest)
#include "GridGeometryTest.moc"
