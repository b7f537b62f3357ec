// TBamView: loading the map and the owners of its blocks, painting, hover and toggling.
#include "BamView.h"

#include "PetsciiText.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

constexpr int DefaultSize = 100;

// A cell's mark: a filled circle in its middle on a background; on a 13 x 13 cell in the
// box (4, 4)-(9, 9).
QPixmap CellMark(int Size, const QColor& Background, const QColor& Dot) {
    QPixmap Mark(Size, Size);
    Mark.fill(Background);
    QPainter Painter(&Mark);
    Painter.setPen(Dot);
    Painter.setBrush(Dot);
    Painter.drawEllipse(QRect((Size - 5) / 2, (Size - 5) / 2, 4, 4));
    return Mark;
}

} // namespace

TBamView::TBamView(QWidget* Parent) : QWidget(Parent) {
    resize(DefaultSize, DefaultSize);
    setFont(PetsciiText::C64Font(QStringLiteral("CBM64 Big/Graphic")));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    FHintWindow = new QLabel(this, Qt::ToolTip);
    FHintWindow->setPalette(QToolTip::palette());
    FHintWindow->setAutoFillBackground(true);
    FHintWindow->setFrameStyle(QFrame::Box | QFrame::Plain);
    FHintWindow->setMargin(1);
    FHintWindow->setTextFormat(Qt::PlainText);
}

void TBamView::SetDisk(TC64Disk* ADisk) {
    Disk = ADisk;
    const int Size = Geometry().CellSize();
    UsedBitmap = CellMark(Size, palette().color(QPalette::Window), Qt::black);
    HoverBitmap =
        CellMark(Size, palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText));
    LoadMap();
    repaint();
}

TBamGeometry TBamView::Geometry() const {
    return Disk ? TBamGeometry::Of(*Disk) : TBamGeometry(0, {});
}

// ---------------------------------------------------------------------------------
// The map

void TBamView::LoadMap() {
    Map.clear();
    FDamage.clear();
    if (!Disk) return;
    const TBamGeometry Layout = Geometry();
    for (int Track = 1; Track <= Layout.TrackCount(); ++Track) {
        Map.emplace_back(Layout.SectorsOf(Track));
        for (int Sector = 0; Sector < Layout.SectorsOf(Track); ++Sector) {
            TBamRecord& Cell = Map.back()[Sector];
            Cell.WasUsed = Cell.Used = Disk->IsSectorUsed(MakeTrackSector(Track, Sector));
        }
    }
    try {
        Disk->ReadDirectory(TFileKindSet::AllListed(),
                            [this](const TC64DirRecord& Entry) { MarkFileBlocks(Entry); });
    } catch (const EC64DiskException& Error) {
        // The entries read before the break keep their owners.
        const QString Text = QString::fromStdString(Error.what());
        FDamage << (Text.startsWith("Directory") ? Text : "Directory chain: " + Text);
    }
}

void TBamView::MarkFileBlocks(const TC64DirRecord& Entry) {
    // A partition is a run of whole sectors, not a chain.
    const std::vector<TTrackSector> Run = Disk->RunOf(Entry.Entry);
    for (TTrackSector ts : Run)
        if (TBamRecord* Cell = RecordAt(ts)) Cell->Owner = Entry.Name + ".CBM";
    if (!Run.empty()) return;
    try {
        // A chain that visits a block twice is not traced, nor one that starts on the
        // directory track.
        if (!Disk->IsChainValid(Entry.Entry)) {
            FDamage << "\"" + PetsciiText::ToDisplay(Entry.Name) + "\": its chain loops or leaves the disk";
            return;
        }
        if (Entry.Track == Disk->DirTrack()) return;
        const PetsciiString Owner = Entry.Name + KindSuffix(Entry.Kind);
        TTrackSector Current = MakeTrackSector(Entry.Track, Entry.Sector);
        // A valid chain ends within the disk's blocks; the bound only guards the walk.
        for (int Steps = 0; TrackOf(Current) != 0 && Steps < Disk->GetTotalSectors(); ++Steps) {
            const uint8_t* Block = Disk->GetSector(Current); // raises for an illegal link
            if (TBamRecord* Cell = RecordAt(Current)) Cell->Owner = Owner;
            Current = ReadTrackSector(Block);
        }
    } catch (const EC64DiskException&) {
        // A broken chain ends the tracing of this file only.
    }
}

PetsciiString TBamView::KindSuffix(TFileKind Kind) {
    switch (Kind) {
    case fkUnknown:
        return ".?";
    case fkDel:
        return ".DEL";
    case fkSeq:
        return ".SEQ";
    case fkPrg:
        return ".PRG";
    case fkUsr:
        return ".USR";
    case fkRel:
        return ".REL";
    default:
        return "UNKNOWN";
    }
}

TBamRecord* TBamView::RecordAt(TTrackSector ts) {
    const size_t Track = TrackOf(ts);
    const size_t Sector = SectorOf(ts);
    if (Track < 1 || Track > Map.size() || Sector >= Map[Track - 1].size()) return nullptr;
    return &Map[Track - 1][Sector];
}

const TBamRecord* TBamView::Record(TTrackSector ts) const {
    return const_cast<TBamView*>(this)->RecordAt(ts);
}

bool TBamView::IsModified() const {
    for (const std::vector<TBamRecord>& Track : Map)
        for (const TBamRecord& Cell : Track)
            if (Cell.Used != Cell.WasUsed) return true;
    return false;
}

void TBamView::ApplyChanges() {
    if (!IsModified()) return;
    for (size_t Track = 1; Track <= Map.size(); ++Track)
        for (size_t Sector = 0; Sector < Map[Track - 1].size(); ++Sector) {
            const TBamRecord& Cell = Map[Track - 1][Sector];
            if (Cell.Used != Cell.WasUsed)
                Disk->SetSectorUsed(MakeTrackSector(static_cast<int>(Track), static_cast<int>(Sector)),
                                    Cell.Used);
        }
}

// ---------------------------------------------------------------------------------
// Mouse

TTrackSector TBamView::HitTest(QPoint At) const {
    const QSize Desktop = screen() ? screen()->geometry().size() : QSize(0, 0);
    return Geometry().HitTest(At.x(), At.y(), Desktop);
}

void TBamView::mouseMoveEvent(QMouseEvent* Event) {
    HandleMouseMove(Event->position().toPoint());
}

void TBamView::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton) HandleButtonUp(Event->position().toPoint());
}

void TBamView::leaveEvent(QEvent* Event) {
    // The pointer left the view: as a move onto no cell.
    HandleMouseMove(QPoint(-1, -1));
    QWidget::leaveEvent(Event);
}

void TBamView::hideEvent(QHideEvent* Event) {
    HideHint();
    QWidget::hideEvent(Event);
}

void TBamView::HandleMouseMove(QPoint At) {
    const TTrackSector Hit = HitTest(At);
    const bool Real = Disk && Geometry().IsCell(Hit);
    if (Hit != FHoverCell && FHoverCell != 0) update(Geometry().CellRect(FHoverCell));
    if (Real) {
        if (Hit != FHoverCell) {
            update(Geometry().CellRect(Hit));
            ShowFileText(RecordAt(Hit)->Owner);
            ShowHint(Hit);
        }
    } else {
        ShowFileText({});
        HideHint();
    }
    FHoverCell = Hit;
}

void TBamView::HandleButtonUp(QPoint At) {
    const TTrackSector Hit = HitTest(At);
    if (!Disk || !Geometry().IsCell(Hit)) return;
    RecordAt(Hit)->Used = !RecordAt(Hit)->Used;
    update(Geometry().CellRect(Hit));
}

void TBamView::ShowHint(TTrackSector ts) {
    FHintWindow->setText(QStringLiteral("Track:%1 Sector:%2").arg(TrackOf(ts)).arg(SectorOf(ts)));
    FHintWindow->setMaximumWidth(screen() ? screen()->geometry().width() : QWIDGETSIZE_MAX);
    FHintWindow->adjustSize();
    const QRect Cell = Geometry().CellRect(ts);
    FHintWindow->setGeometry(
        TBamGeometry::HintPlace(QRect(mapToGlobal(Cell.topLeft()), Cell.size()), FHintWindow->size()));
    FHintWindow->show();
}

void TBamView::HideHint() {
    FHintWindow->hide();
}

void TBamView::ShowFileText(const PetsciiString& Text) {
    if (Text == FFileText) return;
    FFileText = Text;
    update(Geometry().FileTextArea());
}

QString TBamView::FileText() const {
    return PetsciiText::ToDisplay(FFileText);
}

// ---------------------------------------------------------------------------------
// Painting

void TBamView::paintEvent(QPaintEvent*) {
    QPainter Painter(this);
    if (!Disk) {
        PaintCrossedFrame(Painter);
        return;
    }
    const TBamGeometry Layout = Geometry();
    PaintChart(Painter, Layout);
    if (Layout.IsCell(FHoverCell)) PaintCell(Painter, Layout, FHoverCell);
}

void TBamView::PaintCrossedFrame(QPainter& Painter) const {
    Painter.setPen(Qt::black);
    Painter.drawRect(rect().adjusted(0, 0, -1, -1));
    Painter.drawLine(rect().topLeft(), rect().bottomRight());
    Painter.drawLine(rect().topRight(), rect().bottomLeft());
}

void TBamView::PaintChart(QPainter& Painter, const TBamGeometry& Layout) const {
    for (const QRect& Area : Layout.ShadedAreas())
        Painter.fillRect(Area, palette().color(QPalette::Dark));
    for (const TBamGeometry::TEdge& Edge : Layout.OutlineEdges())
        PaintEdge(Painter, Edge.Rect, Edge.Sides);

    Painter.setPen(Qt::black);
    Painter.setBrush(Qt::NoBrush);
    for (const QRect& Frame : {Layout.FreeLegendFrame(), Layout.UsedLegendFrame()})
        Painter.drawRect(Frame.adjusted(0, 0, -1, -1));
    Painter.drawPixmap(Layout.UsedLegendMark(), UsedBitmap);
    PaintText(Painter, Layout.FreeLegendText());
    PaintText(Painter, Layout.UsedLegendText());

    Painter.setPen(Qt::black);
    for (const QLine& Line : Layout.GridLines())
        Painter.drawLine(Line);

    const QFontMetrics Metrics(font());
    for (const TBamGeometry::TText& Text : Layout.SectorNumbers(Metrics.horizontalAdvance('0')))
        PaintText(Painter, Text);
    for (const TBamGeometry::TText& Text : Layout.TrackNumbers(Metrics.height()))
        PaintText(Painter, Text);

    for (int Track = 1; Track <= Layout.TrackCount(); ++Track)
        for (int Sector = 0; Sector < Layout.SectorsOf(Track); ++Sector)
            PaintCell(Painter, Layout, MakeTrackSector(Track, Sector));

    PaintText(Painter, Layout.FileCaption());
    PaintEdge(Painter, Layout.FileBox(), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    PaintFileText(Painter, Layout);
}

void TBamView::PaintEdge(QPainter& Painter, const QRect& Rect, Qt::Edges Sides) const {
    // A sunken edge: shadow and dark shadow on the left and top, highlight and light on
    // the right and bottom, the outer line of each pair on the rectangle's border.
    const QPalette& Colours = palette();
    const QRect Inner = Rect.adjusted(1, 1, -1, -1);
    const auto Side = [&](const QRect& Box, Qt::Edge Which, const QColor& Colour) {
        if (!(Sides & Which)) return;
        Painter.setPen(Colour);
        switch (Which) {
        case Qt::LeftEdge:
            Painter.drawLine(Box.topLeft(), Box.bottomLeft());
            break;
        case Qt::TopEdge:
            Painter.drawLine(Box.topLeft(), Box.topRight());
            break;
        case Qt::RightEdge:
            Painter.drawLine(Box.topRight(), Box.bottomRight());
            break;
        case Qt::BottomEdge:
            Painter.drawLine(Box.bottomLeft(), Box.bottomRight());
            break;
        }
    };
    Side(Rect, Qt::LeftEdge, Colours.color(QPalette::Dark));
    Side(Rect, Qt::TopEdge, Colours.color(QPalette::Dark));
    Side(Rect, Qt::RightEdge, Colours.color(QPalette::Light));
    Side(Rect, Qt::BottomEdge, Colours.color(QPalette::Light));
    Side(Inner, Qt::LeftEdge, Colours.color(QPalette::Shadow));
    Side(Inner, Qt::TopEdge, Colours.color(QPalette::Shadow));
    Side(Inner, Qt::RightEdge, Colours.color(QPalette::Midlight));
    Side(Inner, Qt::BottomEdge, Colours.color(QPalette::Midlight));
}

void TBamView::PaintText(QPainter& Painter, const TBamGeometry::TText& Text) const {
    // Text is drawn on the background colour, like the cells' own background.
    const QFontMetrics Metrics(font());
    const QRect Box(Text.At, QSize(Metrics.horizontalAdvance(Text.Text), Metrics.height()));
    Painter.fillRect(Box, palette().color(QPalette::Window));
    Painter.setPen(palette().color(QPalette::WindowText));
    Painter.drawText(Box, Qt::AlignLeft | Qt::AlignTop, Text.Text);
}

void TBamView::PaintCell(QPainter& Painter, const TBamGeometry& Layout, TTrackSector ts) const {
    const TBamRecord* Cell = Record(ts);
    if (!Cell) return;
    const QRect Box = Layout.CellRect(ts);
    if (ts == FHoverCell) {
        if (Cell->Used)
            Painter.drawPixmap(Box.topLeft(), HoverBitmap);
        else
            Painter.fillRect(Box, palette().color(QPalette::Highlight));
    } else if (Cell->Used) {
        Painter.drawPixmap(Box.topLeft(), UsedBitmap);
    }
}

void TBamView::PaintFileText(QPainter& Painter, const TBamGeometry& Layout) const {
    Painter.fillRect(Layout.FileTextArea(), palette().color(QPalette::Window));
    if (FFileText.empty()) return;
    Painter.setPen(palette().color(QPalette::WindowText));
    Painter.drawText(QRect(Layout.FileTextAt(), Layout.FileTextArea().bottomRight()),
                     Qt::AlignLeft | Qt::AlignTop, PetsciiText::ToDisplay(FFileText));
}
