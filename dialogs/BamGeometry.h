// TBamGeometry: where the BAM chart puts its cells, grid lines, sunken outline, numbers,
// legend and file box, which cell a point hits, and where the track/sector tip goes.
// One column per track, one row per sector number; the line left of track t is at
// x = 20 + Pitch(t - 1), the line above sector s at y = 20 + Pitch s, and a cell fills
// the square between its lines. The 1541 chart (40 columns) is a 14-pixel pitch in a
// stepped outline with the legend in its lower right steps. Other kinds take a plain
// rectangle, shade the places of sectors a track lacks and put the legend beside the file
// box; rows of more than 21 sectors (the 1581's 40) take a 12-pixel pitch, so that the
// chart fits a small screen. A const value built from the disk's track count and the
// sectors of every track of its kind; nothing here paints.
#pragma once

#include "cmd_types.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class TC64Disk;

class TBamGeometry {
  public:
    static constexpr int Origin = 20; // the line left of track 1 and above sector 0

    // A part of the sunken outline: the sides of Rect that are drawn.
    struct TEdge {
        QRect Rect;
        Qt::Edges Sides;
    };
    // A text with its top-left corner.
    struct TText {
        QPoint At;
        QString Text;
    };

    // SectorsPerTrack holds the sector counts of every track of the kind (index 0 for
    // track 1): 40 for the 1541, 70 for the 1571, 80 for the 1581. TrackCount is how many
    // of them the disk uses.
    TBamGeometry(int TrackCount, std::vector<int> SectorsPerTrack);
    // The chart of a disk's kind.
    static TBamGeometry Of(TC64Disk& Disk);

    int TrackCount() const { return Tracks; }
    int SectorsOf(int Track) const;
    int Pitch() const { return FPitch; }
    // The drive whose disks this chart shows: 1541, 1571 or 1581.
    int Drive() const { return Columns() == 70 ? 1571 : Columns() == 80 ? 1581 : 1541; }
    int CellSize() const { return FPitch - 1; }

    // The cell of a track and sector (right and bottom exclusive).
    QRect CellRect(TTrackSector ts) const;
    // The cell under a client point: 0 when X <= 20, Y <= 20 or the point lies beyond the
    // desktop; coordinates are taken as unsigned 16-bit values, so points left of or above
    // the view fall out as very large ones. The result may lie outside the chart: see IsCell.
    TTrackSector HitTest(int X, int Y, QSize Desktop) const;
    // A cell of this disk: track 1..TrackCount and a sector below that track's count.
    bool IsCell(TTrackSector ts) const;

    // The places without cells inside the outline: tracks the kind has and the disk does
    // not use, and on charts other than the 1541's, the rows below a track's last sector.
    std::vector<QRect> ShadedAreas() const;
    // The parts of the outline: five steps for the 1541, else one rectangle.
    std::vector<TEdge> OutlineEdges() const;
    // The grid lines, end points included.
    std::vector<QLine> GridLines() const;
    // Sector numbers down the left side and the track numbers in two text lines above the
    // chart, for the given size of the digit "0".
    std::vector<TText> SectorNumbers(int DigitWidth) const;
    std::vector<TText> TrackNumbers(int DigitHeight) const;

    // Legend: the empty frame of a free block and the frame holding a used mark.
    QRect FreeLegendFrame() const;
    QRect UsedLegendFrame() const;
    QPoint UsedLegendMark() const { return UsedLegendFrame().topLeft() + QPoint(1, 1); }
    TText FreeLegendText() const;
    TText UsedLegendText() const;
    // The file box: its caption, its sunken frame, the area its text clears and the text.
    TText FileCaption() const { return {FileBox().topLeft() + QPoint(-50, 5), QStringLiteral("FILE:")}; }
    QRect FileBox() const { return QRect(75, Bottom() + 9, 200, 20); }
    QRect FileTextArea() const { return FileBox().adjusted(2, 2, -2, -2); }
    QPoint FileTextAt() const { return FileBox().topLeft() + QPoint(5, 6); }
    // The size of the view holding all of it.
    QSize ViewSize() const;

    // Where the tip of a hovered cell goes: its left edge on the cell's right edge, its
    // bottom 5 pixels above the cell's top. Both in screen coordinates.
    static QRect HintPlace(const QRect& CellOnScreen, QSize Hint);

  private:
    // The 1541's layout, kept as it always was.
    bool Stepped() const { return Columns() == 40; }
    int Columns() const { return static_cast<int>(Sectors.size()); }
    int Rows() const { return FRows; }
    // The line right of the last track and the one below the last row.
    int Right() const { return Origin + FPitch * Columns(); }
    int Bottom() const { return Origin + FPitch * FRows + 2; }

    int Tracks;
    std::vector<int> Sectors;
    int FRows = 0;
    int FPitch = 14;
};
