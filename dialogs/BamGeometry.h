// TBamGeometry: where the BAM chart puts its cells, grid lines, sunken outline, numbers,
// legend and file box, which cell a point hits, and where the track/sector tip goes.
// One column of 13 x 13 cells per track on a 14-pixel pitch, one row per sector number;
// the line left of track t is at x = 20 + 14(t - 1), the line above sector s at
// y = 20 + 14s. A const value built from the disk's track count and the sectors of
// tracks 1-40; nothing here paints.
#pragma once

#include "cmd_types.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class TBamGeometry {
  public:
    static constexpr int Origin = 20; // the line left of track 1 and above sector 0
    static constexpr int Pitch = 14;
    static constexpr int CellSize = 13;
    static constexpr int MaxTracks = 40;

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

    // SectorsPerTrack holds the sector counts of tracks 1-40 (index 0 for track 1).
    TBamGeometry(int TrackCount, std::vector<int> SectorsPerTrack);

    int TrackCount() const { return Tracks; }
    int SectorsOf(int Track) const;

    // The 13 x 13 cell of a track and sector (right and bottom exclusive).
    static QRect CellRect(TTrackSector ts);
    // The cell under a client point: 0 when X <= 20, Y <= 20 or the point lies beyond the
    // desktop; coordinates are taken as unsigned 16-bit values, so points left of or above
    // the view fall out as very large ones. The result may lie outside the chart: see IsCell.
    static TTrackSector HitTest(int X, int Y, QSize Desktop);
    // A cell of this disk: track 1..TrackCount and a sector below that track's count.
    bool IsCell(TTrackSector ts) const;

    // The area of tracks 36-40 shaded on a 35-track disk; empty on a 40-track disk.
    QRect ShadedArea() const;
    // The five parts of the stepped outline.
    static std::vector<TEdge> OutlineEdges();
    // The grid lines, end points included.
    std::vector<QLine> GridLines() const;
    // Sector numbers down the left side and the track numbers in two text lines above the
    // chart, for the given size of the digit "0".
    static std::vector<TText> SectorNumbers(int DigitWidth);
    static std::vector<TText> TrackNumbers(int DigitHeight);

    // Legend: the empty frame of a free block and the frame holding a used mark.
    static QRect FreeLegendFrame() { return QRect(370, 282, 15, 15); }
    static QRect UsedLegendFrame() { return QRect(370, 300, 15, 15); }
    static QPoint UsedLegendMark() { return QPoint(371, 301); }
    static TText FreeLegendText() { return {QPoint(390, 286), QStringLiteral("FREE BLOCK")}; }
    static TText UsedLegendText() { return {QPoint(390, 304), QStringLiteral("ALLOCATED BLOCK")}; }
    // The file box: its caption, its sunken frame, the area its text clears and the text.
    static TText FileCaption() { return {QPoint(25, 330), QStringLiteral("FILE:")}; }
    static QRect FileBox() { return QRect(75, 325, 200, 20); }
    static QRect FileTextArea() { return QRect(77, 327, 196, 16); }
    static QPoint FileTextAt() { return QPoint(80, 331); }

    // Where the tip of a hovered cell goes: its left edge on the cell's right edge, its
    // bottom 5 pixels above the cell's top. Both in screen coordinates.
    static QRect HintPlace(const QRect& CellOnScreen, QSize Hint);

  private:
    int Tracks;
    std::vector<int> Sectors;
};
