// The BAM chart's layout and hit test.
#include "BamGeometry.h"

#include <utility>

namespace {

// Rightmost x of the horizontal lines above sectors 1-16, and where the stepped lower
// rows of lines end: below the 19-, 18- and 17-sector zones.
constexpr int FullLineEnd = 580;
constexpr int ShadedLeft = 510;
constexpr int ShadedBottom = 258;

} // namespace

TBamGeometry::TBamGeometry(int TrackCount, std::vector<int> SectorsPerTrack)
    : Tracks(TrackCount), Sectors(std::move(SectorsPerTrack)) {}

int TBamGeometry::SectorsOf(int Track) const {
    return Track >= 1 && Track <= static_cast<int>(Sectors.size()) ? Sectors[Track - 1] : 0;
}

QRect TBamGeometry::CellRect(TTrackSector ts) {
    return QRect(Origin + 1 + Pitch * (TrackOf(ts) - 1), Origin + 1 + Pitch * SectorOf(ts), CellSize,
                 CellSize);
}

TTrackSector TBamGeometry::HitTest(int X, int Y, QSize Desktop) {
    const int UX = static_cast<uint16_t>(X);
    const int UY = static_cast<uint16_t>(Y);
    if (UX <= Origin || UY <= Origin || UX >= Desktop.width() || UY >= Desktop.height()) return 0;
    const int Track = (UX - Origin) / Pitch + 1;
    const int Sector = (UY - Origin) / Pitch;
    // Beyond what a track/sector value holds: no cell of any disk.
    if (Track > 255 || Sector > 255) return 0;
    return MakeTrackSector(Track, Sector);
}

bool TBamGeometry::IsCell(TTrackSector ts) const {
    const int Track = TrackOf(ts);
    return Track >= 1 && Track <= Tracks && SectorOf(ts) < SectorsOf(Track);
}

QRect TBamGeometry::ShadedArea() const {
    if (Tracks >= MaxTracks) return {};
    return QRect(QPoint(ShadedLeft, Origin), QPoint(FullLineEnd - 1, ShadedBottom - 1));
}

std::vector<TBamGeometry::TEdge> TBamGeometry::OutlineEdges() {
    // Right and bottom of each rectangle are exclusive.
    const auto Edge = [](int Left, int Top, int Right, int Bottom, Qt::Edges Sides) {
        return TEdge{QRect(QPoint(Left, Top), QPoint(Right - 1, Bottom - 1)), Sides};
    };
    return {Edge(19, 19, 442, 288, Qt::LeftEdge | Qt::TopEdge),
            Edge(441, 19, 582, 260, Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge),
            Edge(357, 260, 442, 274, Qt::RightEdge | Qt::BottomEdge),
            Edge(259, 274, 358, 288, Qt::RightEdge | Qt::BottomEdge),
            Edge(19, 288, 260, 316, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge)};
}

std::vector<QLine> TBamGeometry::GridLines() const {
    std::vector<QLine> Lines;
    for (int k = 1; k < MaxTracks; ++k) {
        const int X = Origin + Pitch * k;
        Lines.emplace_back(X, Origin, X, Origin + Pitch * SectorsOf(k + 1) - 1);
    }
    for (int k = 1; k <= 16; ++k)
        Lines.emplace_back(Origin, Origin + Pitch * k, FullLineEnd - 1, Origin + Pitch * k);
    // Below sector 16 the rows end where the tracks with fewer sectors begin.
    const std::pair<int, int> Stepped[] = {{258, 440}, {272, 356}, {286, 258}, {300, 258}};
    for (const auto& [Y, End] : Stepped)
        Lines.emplace_back(Origin, Y, End - 1, Y);
    return Lines;
}

std::vector<TBamGeometry::TText> TBamGeometry::SectorNumbers(int DigitWidth) {
    std::vector<TText> Texts;
    for (int s = 0; s <= 20; ++s)
        Texts.push_back({QPoint(s < 10 ? DigitWidth : 0, 24 + Pitch * s), QString::number(s)});
    return Texts;
}

std::vector<TBamGeometry::TText> TBamGeometry::TrackNumbers(int DigitHeight) {
    std::vector<TText> Texts;
    for (int t = 1; t <= MaxTracks; ++t) {
        const int X = 24 + Pitch * (t - 1);
        if (t >= 10) Texts.push_back({QPoint(X, 0), QString::number(t / 10)});
        Texts.push_back({QPoint(X, DigitHeight), QString::number(t % 10)});
    }
    return Texts;
}

QRect TBamGeometry::HintPlace(const QRect& CellOnScreen, QSize Hint) {
    const int Left = CellOnScreen.left() + CellSize;
    const int Bottom = CellOnScreen.top() - 5; // exclusive
    return QRect(QPoint(Left, Bottom - Hint.height()), Hint);
}
