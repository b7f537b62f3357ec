// The BAM chart's layout and hit test.
#include "BamGeometry.h"

#include "c64disk.h"

#include <algorithm>
#include <utility>

namespace {

// The 1541 chart: where the stepped lower rows of lines end, below the 19-, 18- and
// 17-sector zones, and where its outline steps.
constexpr int FullRows = 16;

// Rows of more sectors than the 1541's take the narrower pitch.
constexpr int WideRows = 21;
constexpr int WidePitch = 14;
constexpr int NarrowPitch = 12;

} // namespace

TBamGeometry::TBamGeometry(int TrackCount, std::vector<int> SectorsPerTrack)
    : Tracks(TrackCount), Sectors(std::move(SectorsPerTrack)) {
    for (int Count : Sectors)
        FRows = std::max(FRows, Count);
    FPitch = FRows > WideRows ? NarrowPitch : WidePitch;
}

TBamGeometry TBamGeometry::Of(TC64Disk& Disk) {
    int Columns = 40;
    if (Disk.DiskType() == dt71 || Disk.DiskType() == dt71ErrorInfo) Columns = 70;
    if (Disk.DiskType() == dtD81 || Disk.DiskType() == dtD81ErrorInfo) Columns = 80;
    std::vector<int> Sectors;
    for (int Track = 1; Track <= Columns; ++Track)
        Sectors.push_back(Disk.GetSectorsPerTrack(Track));
    return TBamGeometry(Disk.GetTrackCount(), std::move(Sectors));
}

int TBamGeometry::SectorsOf(int Track) const {
    return Track >= 1 && Track <= Columns() ? Sectors[Track - 1] : 0;
}

QRect TBamGeometry::CellRect(TTrackSector ts) const {
    return QRect(Origin + 1 + FPitch * (TrackOf(ts) - 1), Origin + 1 + FPitch * SectorOf(ts), CellSize(),
                 CellSize());
}

TTrackSector TBamGeometry::HitTest(int X, int Y, QSize Desktop) const {
    const int UX = static_cast<uint16_t>(X);
    const int UY = static_cast<uint16_t>(Y);
    if (UX <= Origin || UY <= Origin || UX >= Desktop.width() || UY >= Desktop.height()) return 0;
    const int Track = (UX - Origin) / FPitch + 1;
    const int Sector = (UY - Origin) / FPitch;
    // Beyond what a track/sector value holds: no cell of any disk.
    if (Track > 255 || Sector > 255) return 0;
    return MakeTrackSector(Track, Sector);
}

bool TBamGeometry::IsCell(TTrackSector ts) const {
    const int Track = TrackOf(ts);
    return Track >= 1 && Track <= Tracks && SectorOf(ts) < SectorsOf(Track);
}

std::vector<QRect> TBamGeometry::ShadedAreas() const {
    // Per track the rows shaded, [First, Last); neighbours with the same rows share a rectangle.
    const auto RowsOf = [&](int Track) {
        if (Track > Tracks) return std::pair(0, Stepped() ? SectorsOf(Track) : FRows);
        return Stepped() ? std::pair(0, 0) : std::pair(SectorsOf(Track), FRows);
    };
    std::vector<QRect> Areas;
    for (int Track = 1; Track <= Columns();) {
        const std::pair<int, int> Rows = RowsOf(Track);
        int Last = Track;
        while (Last < Columns() && RowsOf(Last + 1) == Rows)
            ++Last;
        if (Rows.first < Rows.second)
            Areas.emplace_back(QPoint(Origin + FPitch * (Track - 1), Origin + FPitch * Rows.first),
                               QPoint(Origin + FPitch * Last - 1, Origin + FPitch * Rows.second - 1));
        Track = Last + 1;
    }
    return Areas;
}

std::vector<TBamGeometry::TEdge> TBamGeometry::OutlineEdges() const {
    // Right and bottom of each rectangle are exclusive.
    const auto Edge = [](int Left, int Top, int Right, int Bottom, Qt::Edges Sides) {
        return TEdge{QRect(QPoint(Left, Top), QPoint(Right - 1, Bottom - 1)), Sides};
    };
    if (!Stepped())
        return {Edge(Origin - 1, Origin - 1, Right() + 2, Bottom(),
                     Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge)};
    return {Edge(19, 19, 442, 288, Qt::LeftEdge | Qt::TopEdge),
            Edge(441, 19, 582, 260, Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge),
            Edge(357, 260, 442, 274, Qt::RightEdge | Qt::BottomEdge),
            Edge(259, 274, 358, 288, Qt::RightEdge | Qt::BottomEdge),
            Edge(19, 288, 260, 316, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge)};
}

std::vector<QLine> TBamGeometry::GridLines() const {
    std::vector<QLine> Lines;
    if (Stepped()) {
        for (int k = 1; k < Columns(); ++k) {
            const int X = Origin + FPitch * k;
            Lines.emplace_back(X, Origin, X, Origin + FPitch * SectorsOf(k + 1) - 1);
        }
        for (int k = 1; k <= FullRows; ++k)
            Lines.emplace_back(Origin, Origin + FPitch * k, Right() - 1, Origin + FPitch * k);
        // Below sector 16 the rows end where the tracks with fewer sectors begin.
        const std::pair<int, int> Steps[] = {{258, 440}, {272, 356}, {286, 258}, {300, 258}};
        for (const auto& [Y, End] : Steps)
            Lines.emplace_back(Origin, Y, End - 1, Y);
        return Lines;
    }
    // Lines between the cells only: each track's column ends at its last sector, and
    // the line above a row runs over the tracks that reach it.
    for (int k = 1; k < Columns(); ++k) {
        const int X = Origin + FPitch * k;
        Lines.emplace_back(X, Origin, X, Origin + FPitch * std::max(SectorsOf(k), SectorsOf(k + 1)) - 1);
    }
    for (int Row = 1; Row < FRows; ++Row) {
        const int Y = Origin + FPitch * Row;
        for (int Track = 1; Track <= Columns(); ++Track) {
            if (SectorsOf(Track) < Row) continue;
            int Last = Track;
            while (Last < Columns() && SectorsOf(Last + 1) >= Row)
                ++Last;
            Lines.emplace_back(Origin + FPitch * (Track - 1), Y, Origin + FPitch * Last - 1, Y);
            Track = Last;
        }
    }
    return Lines;
}

// Digits are 8 pixels wide: centred on the cell below or beside them.
std::vector<TBamGeometry::TText> TBamGeometry::SectorNumbers(int DigitWidth) const {
    const int Inset = FPitch / 2 - 3;
    std::vector<TText> Texts;
    for (int s = 0; s < FRows; ++s)
        Texts.push_back({QPoint(s < 10 ? DigitWidth : 0, Origin + Inset + FPitch * s), QString::number(s)});
    return Texts;
}

std::vector<TBamGeometry::TText> TBamGeometry::TrackNumbers(int DigitHeight) const {
    const int Inset = FPitch / 2 - 3;
    std::vector<TText> Texts;
    for (int t = 1; t <= Columns(); ++t) {
        const int X = Origin + Inset + FPitch * (t - 1);
        if (t >= 10) Texts.push_back({QPoint(X, 0), QString::number(t / 10)});
        Texts.push_back({QPoint(X, DigitHeight), QString::number(t % 10)});
    }
    return Texts;
}

QRect TBamGeometry::FreeLegendFrame() const {
    if (Stepped()) return QRect(370, 282, 15, 15);
    return QRect(300, Bottom() + 11, CellSize() + 2, CellSize() + 2);
}

QRect TBamGeometry::UsedLegendFrame() const {
    if (Stepped()) return QRect(370, 300, 15, 15);
    return FreeLegendFrame().translated(140, 0);
}

TBamGeometry::TText TBamGeometry::FreeLegendText() const {
    return {FreeLegendFrame().topLeft() + QPoint(20, 4), QStringLiteral("FREE BLOCK")};
}

TBamGeometry::TText TBamGeometry::UsedLegendText() const {
    return {UsedLegendFrame().topLeft() + QPoint(20, 4), QStringLiteral("ALLOCATED BLOCK")};
}

QSize TBamGeometry::ViewSize() const {
    // Room right of the outline, and below it for the file box and the drive badge.
    return QSize(Right() + 13, Bottom() + 50);
}

QRect TBamGeometry::HintPlace(const QRect& CellOnScreen, QSize Hint) {
    const int Left = CellOnScreen.left() + CellOnScreen.width();
    const int Bottom = CellOnScreen.top() - 5; // exclusive
    return QRect(QPoint(Left, Bottom - Hint.height()), Hint);
}
