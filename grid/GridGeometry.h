// TGridGeometry: where the directory grid's cells lie for one scroll position and
// client size, and which cell a point hits. Row 0 (the header) stays at the top;
// data rows start at TopRow below it. Columns are separated by a vertical grid
// line of LineWidth pixels that belongs to the column on its left; rows have no
// horizontal lines. A const value: build one per event, nothing is cached.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class TGridGeometry {
  public:
    TGridGeometry(std::vector<int> ColWidths, std::vector<int> RowHeights, int TopRow, QSize Client,
                  int LineWidth = 1);

    int ColCount() const { return static_cast<int>(ColWidths.size()); }
    int RowCount() const { return static_cast<int>(RowHeights.size()); }
    int TopRow() const { return Top; }

    int ColLeft(int Col) const;
    // The x of the grid line right of Col.
    int LineX(int Col) const { return ColLeft(Col) + ColWidths[Col]; }
    // Right edge (exclusive) of the last column's line.
    int GridWidth() const;
    // Top of a row on screen, or -1 when it is scrolled away above TopRow.
    int RowTop(int Row) const;
    // Bottom (exclusive) of the last row shown, at most the client height.
    int GridBottom() const;
    QRect CellRect(int Col, int Row) const;
    // The strip of a row across the whole client width; empty when not shown.
    QRect RowRect(int Row) const;

    // The row and column under a point, each found on its own axis; -1 for none.
    // A column's grid line counts to that column.
    int RowAt(int Y) const;
    int ColAt(int X) const;

    // Last data row with any part inside the client area, and the last one wholly inside
    // (TopRow when not even that one fits).
    int LastVisibleRow() const;
    int LastFullyVisibleRow() const;
    // Rows moved by Page Up / Page Down: at least 1.
    int PageHeight() const;
    // The smallest top row that still shows Row wholly at the bottom (Row itself when it is
    // taller than the space below the header).
    int TopRowShowingAtBottom(int Row) const;
    // The largest useful top row: the one that shows the last row at the bottom.
    int MaxTopRow() const;
    // The top row after scrolling just enough to show Row wholly.
    int TopRowShowing(int Row) const;

  private:
    int HeaderHeight() const { return RowHeights.empty() ? 0 : RowHeights[0]; }

    std::vector<int> ColWidths;
    std::vector<int> RowHeights;
    int Top;
    QSize Client;
    int LineWidth;
};
