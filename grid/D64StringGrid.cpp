// TD64StringGrid: painting, selection, keyboard, mouse, focus and drop handling of the
// directory grid. Positions come from TGridGeometry, colours from GridColors.
#include "D64StringGrid.h"

#include "GridColors.h"
#include "GridGeometry.h"
#include "PetsciiText.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <unistd.h>

bool TD64StringGrid::ShiftHeld = false;
bool TD64StringGrid::CtrlHeld = false;

namespace {

constexpr int GridColCount = 4;
constexpr int GridFixedRows = 1;
constexpr int GridDefaultRowHeight = 8;
constexpr int GridDefaultColWidth = 64;
constexpr int GridLineWidth = 1;
const char* const DefaultFace = "CBM64 Big/Graphic";

// The navigation keys by their Windows key codes, the order the keyboard rules use.
enum TNavKey { nkNone = 0, nkPageUp = 33, nkPageDown, nkEnd, nkHome, nkLeft, nkUp, nkRight, nkDown };

TNavKey NavKey(int Key) {
    switch (Key) {
    case Qt::Key_PageUp:
        return nkPageUp;
    case Qt::Key_PageDown:
        return nkPageDown;
    case Qt::Key_End:
        return nkEnd;
    case Qt::Key_Home:
        return nkHome;
    case Qt::Key_Left:
        return nkLeft;
    case Qt::Key_Up:
        return nkUp;
    case Qt::Key_Right:
        return nkRight;
    case Qt::Key_Down:
        return nkDown;
    default:
        return nkNone;
    }
}

Qt::Alignment ColumnAlignment(int Col) {
    switch (Col) {
    case 0:
        return Qt::AlignRight;
    case 1:
    case 3:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// A raised outer edge one pixel wide: light on top and left, dark on bottom and right.
void DrawRaisedEdge(QPainter& Painter, const QRect& Rect, const QPalette& Palette) {
    const QColor Light = Palette.color(QPalette::Light);
    const QColor Dark = Palette.color(QPalette::Shadow);
    Painter.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), Light);
    Painter.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), Light);
    Painter.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), Dark);
    Painter.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), Dark);
}

// The dotted focus frame: every other pixel of the outline inverted. Inverting twice
// restores a pixel, so the frames of neighbouring cells cancel where they overlap on
// the grid line between them and the current row shows one frame around all cells.
void DrawFocusFrame(QPainter& Painter, const QRect& Rect) {
    QPolygon Dots;
    auto Dot = [&Dots](int X, int Y) {
        if (((X + Y) & 1) == 0) Dots << QPoint(X, Y);
    };
    for (int X = Rect.left(); X <= Rect.right(); ++X) {
        Dot(X, Rect.top());
        if (Rect.bottom() != Rect.top()) Dot(X, Rect.bottom());
    }
    for (int Y = Rect.top() + 1; Y < Rect.bottom(); ++Y) {
        Dot(Rect.left(), Y);
        if (Rect.right() != Rect.left()) Dot(Rect.right(), Y);
    }
    Painter.save();
    Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    Painter.setPen(QPen(Qt::white, 0));
    Painter.drawPoints(Dots);
    Painter.restore();
}

// Every grid of the process, so that a drag's pane is only ever looked up among live ones.
std::vector<TD64StringGrid*>& LiveGrids() {
    static std::vector<TD64StringGrid*> Grids;
    return Grids;
}

// What a drag shows under the pointer: how many files it carries.
QPixmap CountPixmap(int Count, const QFont& Font, const QPalette& Palette) {
    const QString Text = Count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(Count);
    const QFontMetrics Metrics(Font);
    QPixmap Picture(Metrics.horizontalAdvance(Text) + 8, Metrics.height() + 4);
    Picture.fill(Palette.color(QPalette::Highlight));
    QPainter Painter(&Picture);
    Painter.setFont(Font);
    Painter.setPen(Palette.color(QPalette::HighlightedText));
    Painter.drawText(Picture.rect(), Qt::AlignCenter, Text);
    return Picture;
}

QString FirstLocalFile(const QMimeData* Data) {
    if (!Data || !Data->hasUrls()) return {};
    const QList<QUrl> Urls = Data->urls();
    if (Urls.isEmpty() || !Urls.first().isLocalFile()) return {};
    return Urls.first().toLocalFile();
}

} // namespace

TD64StringGrid::TD64StringGrid(QWidget* Parent)
    : QAbstractScrollArea(Parent), ColWidths(GridColCount, GridDefaultColWidth), Face(DefaultFace) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(PetsciiText::C64Font(Face));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    // The popup menu opens only through the right-button rule on release.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    QPalette Palette = viewport()->palette();
    Palette.setColor(QPalette::Base, GridColors::Silver);
    Palette.setColor(QPalette::Window, GridColors::Silver);
    viewport()->setPalette(Palette);

    SetRowCount(2);
    SetCell(0, 0, "SIZE");
    SetCell(1, 0, "NAME");
    SetCell(2, 0, "TYPE");
    SetCell(3, 0, "T/S");
    LiveGrids().push_back(this);
}

TD64StringGrid::~TD64StringGrid() {
    std::erase(LiveGrids(), this);
}

int TD64StringGrid::RowCount() const {
    return static_cast<int>(RowHeights.size());
}

void TD64StringGrid::SetRowCount(int Count) {
    // The header row and one data row always exist.
    Count = std::max(Count, GridFixedRows + 1);
    Rows.SetCount(Count);
    const int OldCount = RowCount();
    if (Count == OldCount) return;
    // The list keeps records beyond a smaller grid; they must not keep selections or
    // entries that commands would then act on.
    for (int Index = Count; Index < Rows.Count(); ++Index)
        Rows.SetRecord(Index, TRowRecord{});
    Cells.resize(Count, std::vector<std::string>(GridColCount));
    RowHeights.resize(Count, GridDefaultRowHeight);
    UpdateScrollBars();
    if (CurrentRow >= Count) {
        MoveCurrent(Count - 1);
        CurrentRow = std::min(CurrentRow, Count - 1);
    }
    viewport()->update();
}

int TD64StringGrid::ColCount() const {
    return GridColCount;
}

int TD64StringGrid::FixedRows() const {
    return GridFixedRows;
}

const std::string& TD64StringGrid::Cell(int Col, int Row) const {
    static const std::string None;
    if (Row < 0 || Row >= RowCount() || Col < 0 || Col >= GridColCount) return None;
    return Cells[Row][Col];
}

void TD64StringGrid::SetCell(int Col, int Row, const std::string& Bytes) {
    if (Row < 0 || Row >= RowCount() || Col < 0 || Col >= GridColCount) return;
    if (Cells[Row][Col] == Bytes) return;
    Cells[Row][Col] = Bytes;
    RepaintRow(Row);
}

int TD64StringGrid::Row() const {
    return CurrentRow;
}

void TD64StringGrid::SetRow(int Row) {
    if (Row < 0 || Row >= RowCount()) return;
    MoveCurrent(Row);
}

int TD64StringGrid::ColWidth(int Col) const {
    return Col >= 0 && Col < GridColCount ? ColWidths[Col] : 0;
}

void TD64StringGrid::SetColWidth(int Col, int Width) {
    if (Col < 0 || Col >= GridColCount || ColWidths[Col] == Width) return;
    ColWidths[Col] = std::max(Width, 0);
    viewport()->update();
}

int TD64StringGrid::RowHeight(int Row) const {
    return Row >= 0 && Row < RowCount() ? RowHeights[Row] : 0;
}

void TD64StringGrid::SetRowHeight(int Row, int Height) {
    if (Row < 0 || Row >= RowCount() || RowHeights[Row] == Height) return;
    RowHeights[Row] = std::max(Height, 0);
    UpdateScrollBars();
    viewport()->update();
}

int TD64StringGrid::DefaultRowHeight() const {
    return GridDefaultRowHeight;
}

int TD64StringGrid::ClientWidth() const {
    return viewport()->width();
}

void TD64StringGrid::SetFaceName(const QString& FaceName) {
    Face = FaceName;
    QFont Font = font();
    Font.setFamily(FaceName);
    setFont(Font);
    viewport()->update();
}

QString TD64StringGrid::FaceName() const {
    return Face;
}

void TD64StringGrid::SetPopupMenu(QMenu* Menu) {
    PopupMenu = Menu;
}

bool TD64StringGrid::Empty() const {
    return FEmpty;
}

void TD64StringGrid::SetEmpty(bool Value) {
    if (Value == FEmpty) return;
    FEmpty = Value;
    if (Value) {
        CloseNameEditor();
        // Cell texts stay; they are not drawn while empty and are overwritten by the
        // first listed file.
        Rows.Clear();
        SetRowCount(2);
    }
    VertLines = !Value;
    viewport()->update();
}

void TD64StringGrid::SetRowSelected(int Row, bool Selected) {
    // The header row never carries a selection, nor do rows the grid does not have.
    if (Row < GridFixedRows || Row >= RowCount() || Rows.IsSelected(Row) == Selected) return;
    Rows.SetSelected(Row, Selected);
    RepaintRow(Row);
}

bool TD64StringGrid::IsRowSelected(int Row) const {
    return Rows.IsSelected(Row);
}

void TD64StringGrid::ClearSelection() {
    for (int Row = GridFixedRows; Row < RowCount(); ++Row)
        SetRowSelected(Row, false);
}

void TD64StringGrid::SelectAll() {
    if (RowCount() < 2) return;
    for (int Row = GridFixedRows; Row < RowCount(); ++Row)
        Rows.SetSelected(Row, true);
    viewport()->update();
}

void TD64StringGrid::GetSelectedRows(TIntegerArray& Result) const {
    Result.clear();
    for (int Row = 0; Row < Rows.Count(); ++Row)
        if (Rows.IsSelected(Row)) Result.push_back(Row);
}

uint8_t* TD64StringGrid::GetRowEntry(int Row) const {
    return Rows.GetEntry(Row);
}

void TD64StringGrid::SetRowEntry(int Row, uint8_t* Entry) {
    Rows.SetEntry(Row, Entry);
}

void TD64StringGrid::SetFocus() {
    setFocus(Qt::OtherFocusReason);
    RepaintSelectedRows();
}

// --- geometry and repainting ---

TGridGeometry TD64StringGrid::Geometry() const {
    return TGridGeometry(ColWidths, RowHeights, TopRow(), viewport()->size(), GridLineWidth);
}

int TD64StringGrid::TopRow() const {
    return GridFixedRows + verticalScrollBar()->value();
}

void TD64StringGrid::SetTopRow(int Top) {
    verticalScrollBar()->setValue(Top - GridFixedRows);
}

void TD64StringGrid::UpdateScrollBars() {
    const TGridGeometry Layout = Geometry();
    QScrollBar* Bar = verticalScrollBar();
    Bar->setRange(0, Layout.MaxTopRow() - GridFixedRows);
    Bar->setPageStep(Layout.PageHeight());
    // Shown or hidden at once rather than on Qt's queued check, so ClientWidth is right
    // when the window sizes the columns straight after filling the rows.
    setVerticalScrollBarPolicy(Layout.MaxTopRow() > GridFixedRows ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
}

void TD64StringGrid::RepaintRow(int Row) {
    const QRect Rect = Geometry().RowRect(Row);
    // One pixel wider on the right for the focus frame on the last grid line.
    if (!Rect.isEmpty()) viewport()->update(Rect.adjusted(0, 0, 1, 0));
}

void TD64StringGrid::RepaintSelectedRows() {
    for (int Row = GridFixedRows; Row < RowCount(); ++Row)
        if (Rows.IsSelected(Row)) RepaintRow(Row);
}

void TD64StringGrid::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollBars();
}

void TD64StringGrid::scrollContentsBy(int, int) {
    CloseNameEditor(); // it would stay over a row that has moved away
    viewport()->update();
}

// --- painting ---

void TD64StringGrid::paintEvent(QPaintEvent*) {
    QPainter Painter(viewport());
    const TGridGeometry Layout = Geometry();
    Painter.fillRect(viewport()->rect(), GridColors::Silver);
    Painter.setFont(font());
    DrawGridLines(Painter, Layout);
    for (int Col = 0; Col < GridColCount; ++Col)
        DrawCell(Painter, Layout, Col, 0);
    for (int Row = Layout.TopRow(); Row <= Layout.LastVisibleRow(); ++Row)
        for (int Col = 0; Col < GridColCount; ++Col)
            DrawCell(Painter, Layout, Col, Row);
}

void TD64StringGrid::DrawGridLines(QPainter& Painter, const TGridGeometry& Layout) const {
    const int HeaderBottom = std::min(RowHeights[0], viewport()->height());
    const int Bottom = Layout.GridBottom();
    for (int Col = 0; Col < GridColCount; ++Col) {
        const int X = Layout.LineX(Col);
        // Lines between header cells are black; those between cells grey, as silver
        // lines would vanish on the silver background.
        Painter.fillRect(QRect(X, 0, GridLineWidth, HeaderBottom), Qt::black);
        if (VertLines && Bottom > HeaderBottom)
            Painter.fillRect(QRect(X, HeaderBottom, GridLineWidth, Bottom - HeaderBottom),
                             QColor(128, 128, 128));
    }
}

void TD64StringGrid::DrawCell(QPainter& Painter, const TGridGeometry& Layout, int Col, int Row) const {
    const QRect Rect = Layout.CellRect(Col, Row);
    if (Rect.isEmpty()) return;
    const bool Fixed = Row < GridFixedRows;
    if (!Fixed && FEmpty) return;
    const int Flags = Qt::TextSingleLine | Qt::AlignVCenter | ColumnAlignment(Col);
    const QRect TextRect = Rect.adjusted(3, 0, -3, 1);
    const GridColors::TCellColors Colors =
        GridColors::CellColors(palette(), Fixed, Rows.IsSelected(Row), hasFocus());
    Painter.fillRect(Rect, Colors.Background);
    if (Fixed) DrawRaisedEdge(Painter, Rect, palette());
    Painter.setPen(Colors.Text);
    Painter.drawText(TextRect, Flags, PetsciiText::ToDisplay(Cells[Row][Col]));
    if (!Fixed && Row == CurrentRow) DrawFocusFrame(Painter, Rect.adjusted(-1, 0, 1, 0));
}

// --- current row and selection hook ---

bool TD64StringGrid::SelectCell(int Row) {
    if (Row < GridFixedRows) return false;
    Rows.SetSelected(Row, (ShiftHeld || CtrlHeld) ? !Rows.IsSelected(Row) : true);
    RepaintRow(Row);
    return true;
}

void TD64StringGrid::MoveCurrent(int Row) {
    if (SelectCell(Row)) SetCurrentRow(Row);
}

void TD64StringGrid::SetCurrentRow(int Row) {
    if (Row < GridFixedRows || Row >= RowCount()) return;
    const int OldRow = CurrentRow;
    CurrentRow = Row;
    SetTopRow(Geometry().TopRowShowing(Row));
    RepaintRow(OldRow);
    RepaintRow(CurrentRow);
}

// --- keyboard ---

void TD64StringGrid::keyPressEvent(QKeyEvent* Event) {
    // Alt, like every other key that is neither a navigation nor a character key, goes
    // on unhandled to the window (its menus and shortcuts).
    const int Key = Event->key();
    if (Key == Qt::Key_Shift) {
        ShiftHeld = true;
        AnchorRow = CurrentRow;
    } else if (Key == Qt::Key_Control) {
        CtrlHeld = true;
    }
    const TNavKey Nav = NavKey(Key);
    if (Nav == nkNone) {
        // Delete reports DEL as its text here but is no character key; Alt combinations
        // belong to the menus.
        const bool Alt = Event->modifiers().testFlag(Qt::AltModifier);
        const bool Character = !Event->text().isEmpty() && Event->text().front() != QChar(127) && !Alt;
        if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && !Alt) {
            emit KeyPressed(this, QChar(13));
        } else if (Character) {
            emit KeyPressed(this, Event->text().front());
        } else {
            QAbstractScrollArea::keyPressEvent(Event);
            return;
        }
        Event->accept();
        return;
    }
    Event->accept();
    if ((Nav == nkUp || Nav == nkPageUp || Nav == nkHome) && CurrentRow <= GridFixedRows) return;
    if ((Nav == nkDown || Nav == nkPageDown || Nav == nkEnd) && CurrentRow >= RowCount() - 1) return;
    if (!ShiftHeld && !CtrlHeld) ClearSelection();
    // The shared flags alone decide, never the event's modifiers: a modifier pressed while
    // another window had the focus is not held as far as the grid is concerned.
    Navigate(Nav, CtrlHeld);
}

void TD64StringGrid::Navigate(int Key, bool Ctrl) {
    const TGridGeometry Layout = Geometry();
    const int Top = Layout.TopRow();
    int NewTop = Top;
    int NewRow = CurrentRow;
    switch (Key) {
    case nkUp:
        Ctrl ? --NewTop : --NewRow;
        break;
    case nkDown:
        Ctrl ? ++NewTop : ++NewRow;
        break;
    case nkPageUp:
        if (Ctrl) {
            NewRow = Top;
        } else {
            NewRow -= Layout.PageHeight();
            NewTop -= Layout.PageHeight();
        }
        break;
    case nkPageDown:
        if (Ctrl) {
            NewRow = Layout.LastFullyVisibleRow();
        } else {
            NewRow += Layout.PageHeight();
            NewTop += Layout.PageHeight();
        }
        break;
    case nkHome:
        NewRow = GridFixedRows;
        break;
    case nkEnd:
        NewRow = RowCount() - 1;
        break;
    default:
        break; // Left and Right: whole rows are selected, nothing to move to
    }
    NewTop = std::clamp(NewTop, GridFixedRows, Layout.MaxTopRow());
    if (NewTop != Top) SetTopRow(NewTop);
    NewRow = std::clamp(NewRow, GridFixedRows, RowCount() - 1);
    if (NewRow != CurrentRow) MoveCurrent(NewRow);
}

void TD64StringGrid::keyReleaseEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Shift) ShiftHeld = false;
    if (Event->key() == Qt::Key_Control) CtrlHeld = false;
    QAbstractScrollArea::keyReleaseEvent(Event);
}

// --- mouse ---

void TD64StringGrid::ApplyClickSelection(int Row) {
    if (Row < GridFixedRows) {
        ClearSelection();
        return;
    }
    if (!CtrlHeld) ClearSelection();
    if (ShiftHeld && AnchorRow > 0) {
        const int First = std::max(std::min(AnchorRow, Row), GridFixedRows);
        const int Last = std::min(std::max(AnchorRow, Row), RowCount() - 1);
        for (int R = First; R <= Last; ++R)
            SetRowSelected(R, true);
    }
}

void TD64StringGrid::mousePressEvent(QMouseEvent* Event) {
    setFocus(Qt::MouseFocusReason);
    if (Event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(Event);
        return;
    }
    const QPoint Pos = Event->position().toPoint();
    const TGridGeometry Layout = Geometry();
    const int Row = Layout.RowAt(Pos.y());
    PressPos = Pos;
    PendingRow = 0;
    if (Row >= GridFixedRows && !ShiftHeld && !CtrlHeld && Rows.IsSelected(Row) && Rows.SelectedCount() > 1) {
        PendingRow = Row;
        Event->accept();
        return;
    }
    ApplyClickSelection(Row);
    // A Shift-click extends the range only; the current row stays. Like the selection
    // above it follows ShiftHeld, not the event's modifiers, so a click with a Shift that
    // went down in another window is a plain click.
    if (Row >= GridFixedRows && Layout.ColAt(Pos.x()) >= 0 && !ShiftHeld) MoveCurrent(Row);
    Event->accept();
}

void TD64StringGrid::mouseDoubleClickEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(Event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    PendingRow = 0;
    ApplyClickSelection(Geometry().RowAt(Event->position().toPoint().y()));
    Event->accept();
    emit DblClick(this);
}

void TD64StringGrid::mouseReleaseEvent(QMouseEvent* Event) {
    QAbstractScrollArea::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && PendingRow >= GridFixedRows) {
        // No drag came of the press: it was a plain click on the row.
        const int Row = std::exchange(PendingRow, 0);
        ApplyClickSelection(Row);
        MoveCurrent(Row);
        return;
    }
    if (Event->button() != Qt::RightButton || !PopupMenu) return;
    const int Row = Geometry().RowAt(Event->position().toPoint().y());
    if (Row < GridFixedRows || Row >= RowCount()) return;
    if (!IsRowSelected(Row)) {
        ClearSelection();
        SetRowSelected(Row, true);
    }
    MoveCurrent(Row);
    PopupMenu->popup(Event->globalPosition().toPoint());
}

// --- focus ---

void TD64StringGrid::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    // Closing the popup menu hands the focus back; the grid never really lost it.
    if (Event->reason() != Qt::PopupFocusReason) emit Entered(this);
    RepaintSelectedRows();
}

void TD64StringGrid::focusOutEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusOutEvent(Event);
    // Once the window is deactivated the key releases go elsewhere; a flag left set would
    // turn every later click into a range or toggle click.
    if (Event->reason() == Qt::ActiveWindowFocusReason) ShiftHeld = CtrlHeld = false;
    RepaintSelectedRows();
}

// --- dragging rows and file drops ---

void TD64StringGrid::mouseMoveEvent(QMouseEvent* Event) {
    QAbstractScrollArea::mouseMoveEvent(Event);
    if (!(Event->buttons() & Qt::LeftButton) || FEmpty) return;
    if ((Event->position().toPoint() - PressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int Row = Geometry().RowAt(PressPos.y());
    if (Row < GridFixedRows || !Rows.IsSelected(Row) || !Rows.GetEntry(Row)) return;
    PendingRow = 0;
    PressPos = QPoint(-1000, -1000); // one drag per press
    StartDrag();
}

QMimeData* TD64StringGrid::CreateDragData() {
    TIntegerArray Selected;
    GetSelectedRows(Selected);
    QByteArray Payload = QByteArray::number(static_cast<qlonglong>(getpid())) + ' ' +
                         QByteArray::number(reinterpret_cast<quintptr>(this));
    for (int Row : Selected)
        if (Rows.GetEntry(Row)) Payload += ' ' + QByteArray::number(Row);
    auto* Data = new QMimeData;
    Data->setData(RowsMimeType, Payload);
    return Data;
}

TD64StringGrid* TD64StringGrid::DraggedRows(const QMimeData* Data, TIntegerArray& Result) {
    Result.clear();
    if (!Data || !Data->hasFormat(RowsMimeType)) return nullptr;
    const QList<QByteArray> Fields = Data->data(RowsMimeType).split(' ');
    if (Fields.size() < 3 || Fields[0].toLongLong() != static_cast<qlonglong>(getpid())) return nullptr;
    const quintptr Address = Fields[1].toULongLong();
    for (TD64StringGrid* Grid : LiveGrids()) {
        if (reinterpret_cast<quintptr>(Grid) != Address) continue;
        for (qsizetype i = 2; i < Fields.size(); ++i)
            Result.push_back(Fields[i].toInt());
        return Grid;
    }
    return nullptr;
}

void TD64StringGrid::StartDrag() {
    QMimeData* Data = CreateDragData();
    TIntegerArray Dragged;
    DraggedRows(Data, Dragged);
    if (Dragged.empty()) {
        delete Data;
        return;
    }
    emit DragStarting(this, Data);
    auto* Drag = new QDrag(this);
    Drag->setMimeData(Data);
    Drag->setPixmap(CountPixmap(static_cast<int>(Dragged.size()), font(), palette()));
    Drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void TD64StringGrid::dragEnterEvent(QDragEnterEvent* Event) {
    dragMoveEvent(Event);
}

void TD64StringGrid::dragMoveEvent(QDragMoveEvent* Event) {
    TIntegerArray Dragged;
    if (TD64StringGrid* Source = DraggedRows(Event->mimeData(), Dragged)) {
        // Within a pane the rows move; onto another pane they are copied.
        Event->setDropAction(Source == this ? Qt::MoveAction : Qt::CopyAction);
        Event->accept();
    } else if (FirstLocalFile(Event->mimeData()).isEmpty()) {
        Event->ignore();
    } else {
        Event->acceptProposedAction();
    }
}

void TD64StringGrid::dropEvent(QDropEvent* Event) {
    TIntegerArray Dragged;
    if (TD64StringGrid* Source = DraggedRows(Event->mimeData(), Dragged)) {
        int Row = Geometry().RowAt(Event->position().toPoint().y());
        if (Row < 0) Row = RowCount();
        Event->setDropAction(Source == this ? Qt::MoveAction : Qt::CopyAction);
        Event->accept();
        emit RowsDropped(this, Source, Dragged, std::max(Row, GridFixedRows));
        return;
    }
    if (FirstLocalFile(Event->mimeData()).isEmpty()) {
        Event->ignore();
        return;
    }
    Event->acceptProposedAction();
    QStringList Paths;
    for (const QUrl& Url : Event->mimeData()->urls())
        if (Url.isLocalFile()) Paths.append(Url.toLocalFile());
    emit FilesDropped(this, Paths, Event->modifiers().testFlag(Qt::ShiftModifier));
}

// --- the in-place name editor ---

QLineEdit* TD64StringGrid::EditName(int Row, const std::string& Name) {
    CloseNameEditor();
    if (Row < GridFixedRows || Row >= RowCount() || FEmpty) return nullptr;
    SetTopRow(Geometry().TopRowShowing(Row));
    Editor = new QLineEdit(viewport());
    EditRow = Row;
    Editor->setFont(font());
    Editor->setFrame(false);
    Editor->setMaxLength(16);
    Editor->setGeometry(Geometry().CellRect(1, Row));
    Editor->setText(PetsciiText::ToDisplay(Name.substr(0, 16)));
    Editor->selectAll();
    Editor->installEventFilter(this);
    Editor->show();
    Editor->setFocus(Qt::OtherFocusReason);
    return Editor;
}

QLineEdit* TD64StringGrid::NameEditor() const {
    return Editor;
}

void TD64StringGrid::CloseNameEditor() {
    if (!Editor) return;
    QLineEdit* Closing = Editor;
    Editor = nullptr;
    Closing->removeEventFilter(this);
    const bool HadFocus = Closing->hasFocus();
    Closing->hide();
    Closing->deleteLater();
    if (HadFocus) setFocus(Qt::OtherFocusReason);
}

bool TD64StringGrid::eventFilter(QObject* Watched, QEvent* Event) {
    if (!Editor || Watched != Editor) return QAbstractScrollArea::eventFilter(Watched, Event);
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            const std::string Name = PetsciiText::FromDisplay(Editor->text());
            const int Row = EditRow;
            CloseNameEditor();
            emit NameEdited(this, Row, Name);
            return true;
        }
        if (Key == Qt::Key_Escape) {
            CloseNameEditor();
            return true;
        }
    } else if (Event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(Event)->reason() != Qt::PopupFocusReason) {
        // Leaving the editor (a click elsewhere, another window) drops the edit.
        CloseNameEditor();
    }
    return QAbstractScrollArea::eventFilter(Watched, Event);
}
