// Cell positions and hit testing of the directory grid.
#include "GridGeometry.h"

#include <algorithm>
#include <utility>

TGridGeometry::TGridGeometry(std::vector<int> ColWidths, std::vector<int> RowHeights, int TopRow,
                             QSize Client, int LineWidth)
    : ColWidths(std::move(ColWidths)), RowHeights(std::move(RowHeights)), Top(std::max(TopRow, 1)),
      Client(Client), LineWidth(LineWidth) {}

int TGridGeometry::ColLeft(int Col) const {
    int X = 0;
    for (int C = 0; C < Col && C < ColCount(); ++C)
        X += ColWidths[C] + LineWidth;
    return X;
}

int TGridGeometry::GridWidth() const {
    return ColLeft(ColCount());
}

int TGridGeometry::RowTop(int Row) const {
    if (Row < 0 || Row >= RowCount()) return -1;
    if (Row == 0) return 0;
    if (Row < Top) return -1;
    int Y = HeaderHeight();
    for (int R = Top; R < Row; ++R)
        Y += RowHeights[R];
    return Y;
}

int TGridGeometry::GridBottom() const {
    int Y = HeaderHeight();
    for (int R = Top; R < RowCount() && Y < Client.height(); ++R)
        Y += RowHeights[R];
    return std::min(Y, Client.height());
}

QRect TGridGeometry::CellRect(int Col, int Row) const {
    const int Y = RowTop(Row);
    if (Y < 0 || Col < 0 || Col >= ColCount()) return {};
    return QRect(ColLeft(Col), Y, ColWidths[Col], RowHeights[Row]);
}

QRect TGridGeometry::RowRect(int Row) const {
    const int Y = RowTop(Row);
    if (Y < 0 || Y >= Client.height()) return {};
    return QRect(0, Y, std::max(Client.width(), GridWidth()), RowHeights[Row]);
}

int TGridGeometry::RowAt(int Y) const {
    if (Y < 0 || Y >= Client.height() || RowCount() == 0) return -1;
    if (Y < HeaderHeight()) return 0;
    int Bottom = HeaderHeight();
    for (int R = Top; R < RowCount(); ++R) {
        Bottom += RowHeights[R];
        if (Y < Bottom) return R;
    }
    return -1;
}

int TGridGeometry::ColAt(int X) const {
    if (X < 0 || X >= Client.width()) return -1;
    int Right = 0;
    for (int C = 0; C < ColCount(); ++C) {
        Right += ColWidths[C] + LineWidth;
        if (X < Right) return C;
    }
    return -1;
}

int TGridGeometry::LastVisibleRow() const {
    int Last = Top;
    int Y = HeaderHeight();
    for (int R = Top; R < RowCount() && Y < Client.height(); ++R) {
        Last = R;
        Y += RowHeights[R];
    }
    return Last;
}

int TGridGeometry::LastFullyVisibleRow() const {
    int Last = Top;
    int Y = HeaderHeight();
    for (int R = Top; R < RowCount(); ++R) {
        Y += RowHeights[R];
        if (Y > Client.height()) break;
        Last = R;
    }
    return Last;
}

int TGridGeometry::PageHeight() const {
    return std::max(LastFullyVisibleRow() - Top, 1);
}

int TGridGeometry::TopRowShowingAtBottom(int Row) const {
    if (Row < 1) return 1;
    Row = std::min(Row, RowCount() - 1);
    int Space = Client.height() - HeaderHeight();
    int Result = Row;
    for (int R = Row; R >= 1; --R) {
        Space -= RowHeights[R];
        if (Space < 0) break;
        Result = R;
    }
    return Result;
}

int TGridGeometry::MaxTopRow() const {
    return TopRowShowingAtBottom(RowCount() - 1);
}

int TGridGeometry::TopRowShowing(int Row) const {
    if (Row < Top) return std::max(Row, 1);
    if (Row > LastFullyVisibleRow()) return std::max(TopRowShowingAtBottom(Row), Top);
    return Top;
}
