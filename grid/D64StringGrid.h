// TD64StringGrid: one image's directory in the C64 font, with the program's own row
// selection (kept in a TRowRecordList), keyboard and mouse rules, and file drops.
// Cells hold raw PETSCII bytes; they are mapped for display only when painted.
#pragma once

#include "D64StringGridList.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <string>
#include <vector>

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

  signals:
    void FileDragged(TD64StringGrid* Sender, const QString& FileName); // OnFileDragged
    // A drop of host files: every local file, and whether Shift was held.
    void FilesDropped(TD64StringGrid* Sender, const QStringList& FileNames, bool Shift);
    void DblClick(TD64StringGrid* Sender);
    void Entered(TD64StringGrid* Sender);               // focus gained
    void KeyPressed(TD64StringGrid* Sender, QChar Key); // character keys (Return is 13)

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

  private:
    TGridGeometry Geometry() const;
    int TopRow() const;
    void SetTopRow(int Top);
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
};
