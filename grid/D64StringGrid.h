// TD64StringGrid: one image's directory in the C64 font, with the program's own row
// selection (kept in a TRowRecordList), keyboard and mouse rules, file drops, dragging
// rows (to the file manager, to another pane, within the pane) and the in-place name editor.
// Cells hold raw PETSCII bytes; they are mapped for display only when painted.
#pragma once

#include "D64StringGridList.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QMimeData>
#include <QPointer>
#include <QStringList>
#include <string>
#include <vector>

class QLineEdit;
class QMenu;

class QPainter;
class TGridGeometry;

class TD64StringGrid : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit TD64StringGrid(QWidget* Parent = nullptr);
    ~TD64StringGrid() override;

    // Shared by every grid of the process: a Shift or Ctrl key is down.
    static bool ShiftHeld;
    static bool CtrlHeld;

    int RowCount() const;
    void SetRowCount(int Count); // sets the row list's count first, then the grid's
    int ColCount() const;
    int FixedRows() const;

    const std::string& Cell(int Col, int Row) const;
    void SetCell(int Col, int Row, const std::string& Bytes);

    int Row() const;      // the current row
    void SetRow(int Row); // moves the current row through the selection hook

    int ColWidth(int Col) const;
    void SetColWidth(int Col, int Width);
    int RowHeight(int Row) const;
    void SetRowHeight(int Row, int Height);
    int DefaultRowHeight() const;
    int ClientWidth() const;

    // Face used to draw the cells ("CBM64 Big/Graphic" or "CBM64 Small/Big").
    void SetFaceName(const QString& Face);
    QString FaceName() const;

    void SetPopupMenu(QMenu* Menu);

    bool Empty() const;
    void SetEmpty(bool Value);
    void SetRowSelected(int Row, bool Selected);
    bool IsRowSelected(int Row) const;
    void ClearSelection();
    void SelectAll();
    void GetSelectedRows(TIntegerArray& Rows) const;
    uint8_t* GetRowEntry(int Row) const;
    void SetRowEntry(int Row, uint8_t* Entry);
    // Takes the keyboard focus, then repaints the selected rows.
    void SetFocus();

    // The mime type of rows dragged out of a pane: this process's id, the pane, the rows.
    static constexpr const char* RowsMimeType = "application/x-kobaltmandrexis-rows";
    // The selected rows as the data of a drag out of this pane (DragStarting adds the
    // exported files' addresses).
    QMimeData* CreateDragData();
    // The first data row shown, and scrolling to one.
    int TopRow() const;
    void SetTopRow(int Top);
    // Makes Row the current row and shows it, leaving every row's selection as it is.
    void SetCurrentRow(int Row);
    // Opens the in-place editor over Row's NAME cell, holding Name (raw bytes, at most 16);
    // Return hands the edited bytes to NameEdited, Escape or leaving the editor drops them.
    // Returned so that the window can give it its key rule.
    QLineEdit* EditName(int Row, const std::string& Name);
    QLineEdit* NameEditor() const;
    void CloseNameEditor();

  signals:
    void FileDragged(TD64StringGrid* Sender, const QString& FileName); // OnFileDragged
    // A drop of host files: every local file, and whether Shift was held.
    void FilesDropped(TD64StringGrid* Sender, const QStringList& FileNames, bool Shift);
    void DblClick(TD64StringGrid* Sender);
    void Entered(TD64StringGrid* Sender);               // focus gained
    void KeyPressed(TD64StringGrid* Sender, QChar Key); // character keys (Return is 13)
    void NameEdited(TD64StringGrid* Sender, int Row, const std::string& Name);
    // A drag of the selected rows begins; Data may be given file addresses.
    void DragStarting(TD64StringGrid* Sender, QMimeData* Data);
    // Rows of Source (this pane or another one) dropped on Row of this pane; Row is
    // RowCount() for a drop below the last row.
    void RowsDropped(TD64StringGrid* Target, TD64StringGrid* Source, const TIntegerArray& Rows, int Row);

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

  private:
    TGridGeometry Geometry() const;
    // The source pane and rows of a drag of this process's panes; none for other data.
    static TD64StringGrid* DraggedRows(const QMimeData* Data, TIntegerArray& Rows);
    void StartDrag();
    void UpdateScrollBars();
    void RepaintRow(int Row);
    void RepaintSelectedRows();
    // The hook asked before the current row moves: refuses the header row, otherwise
    // sets (or with Shift/Ctrl held toggles) the row's flag.
    bool SelectCell(int Row);
    void MoveCurrent(int Row);
    void Navigate(int Key, bool Ctrl);
    // Steps shared by a press and the second press of a double-click.
    void ApplyClickSelection(int Row);
    void DrawCell(QPainter& Painter, const TGridGeometry& Layout, int Col, int Row) const;
    void DrawGridLines(QPainter& Painter, const TGridGeometry& Layout) const;

    TRowRecordList Rows;
    std::vector<std::vector<std::string>> Cells; // [row][col]
    std::vector<int> ColWidths;
    std::vector<int> RowHeights;
    int CurrentRow = 1;
    int AnchorRow = 0;
    bool FEmpty = false;
    bool VertLines = true;
    QString Face;
    QPointer<QMenu> PopupMenu;
    QPointer<QLineEdit> Editor;
    int EditRow = 0;
    // A press on one of several selected rows: it may start a drag of them all, so the
    // click's selection waits for the release.
    int PendingRow = 0;
    QPoint PressPos;
};
