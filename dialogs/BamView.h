// TBamView: the Block Availability Map of one disk as a chart, one cell per block (13 x 13
// on 1541 and 1571 disks, 11 x 11 on 1581 disks) with a dot where the block is allocated.
// Hovering a cell marks it, shows its track and sector in a tip and, in the "FILE:" box,
// the file whose chain (or partition) uses the block; clicking toggles the cell. The
// toggled states reach the disk only through ApplyChanges. The layout comes from
// TBamGeometry; the view paints it and follows the mouse. On a damaged disk the chart
// shows the owners that could be traced, and Damage() names the rest.
#pragma once

#include "BamGeometry.h"
#include "c64disk.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPainter;

// One block of the chart.
struct TBamRecord {
    bool WasUsed = false; // allocated in the BAM when the map was loaded
    bool Used = false;    // the state shown and edited
    PetsciiString Owner;  // name and type suffix of the file whose chain passes through
};

class TBamView : public QWidget {
    Q_OBJECT

  public:
    explicit TBamView(QWidget* Parent = nullptr);

    // Shows a disk (not owned) and loads its map.
    void SetDisk(TC64Disk* ADisk);
    // Some cell differs from the BAM as loaded.
    bool IsModified() const;
    // Writes every changed cell into the disk's BAM, one write-through each.
    void ApplyChanges();

    // What the user sees besides the chart: the cell under the pointer (0 for none), the
    // text of the file box and the track/sector tip.
    TTrackSector HoverCell() const { return FHoverCell; }
    QString FileText() const;
    const QLabel* HintWindow() const { return FHintWindow; }
    // The record of a cell of the disk; none for any other value.
    const TBamRecord* Record(TTrackSector ts) const;
    // The chart of the disk shown.
    TBamGeometry Geometry() const;

    // What kept owners from being traced: a directory chain that loops or leaves the disk
    // (the entries after the break are not read), files whose chains are broken.
    const QStringList& Damage() const { return FDamage; }

    // The suffix of a kind in the file box: ".PRG", ".SEQ", ... or "UNKNOWN".
    static PetsciiString KindSuffix(TFileKind Kind);

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

  private:
    void LoadMap();
    void MarkFileBlocks(const TC64DirRecord& Entry);
    TBamRecord* RecordAt(TTrackSector ts);
    TTrackSector HitTest(QPoint At) const;

    void HandleMouseMove(QPoint At);
    void HandleButtonUp(QPoint At);
    void ShowHint(TTrackSector ts);
    void HideHint();
    void ShowFileText(const PetsciiString& Text);

    void PaintCrossedFrame(QPainter& Painter) const;
    void PaintChart(QPainter& Painter, const TBamGeometry& Layout) const;
    void PaintEdge(QPainter& Painter, const QRect& Rect, Qt::Edges Sides) const;
    void PaintText(QPainter& Painter, const TBamGeometry::TText& Text) const;
    // A cell as it looks now: its mark or the background, highlighted when hovered.
    void PaintCell(QPainter& Painter, const TBamGeometry& Layout, TTrackSector ts) const;
    void PaintFileText(QPainter& Painter, const TBamGeometry& Layout) const;

    TC64Disk* Disk = nullptr;
    std::vector<std::vector<TBamRecord>> Map; // [track - 1][sector]
    QPixmap UsedBitmap;
    QPixmap HoverBitmap;
    QLabel* FHintWindow = nullptr;
    TTrackSector FHoverCell = 0;
    PetsciiString FFileText;
    QStringList FDamage;
};
