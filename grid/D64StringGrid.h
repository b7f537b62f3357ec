// TD64StringGrid: one image's directory in the C64 font, with the program's own row
// selection (kept in a TRowRecordList), keyboard and mouse rules, and file drops.
// Cells hold raw PETSCII bytes; they are mapped for display only when painted.
#pragma once

#include "D64StringGridList.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <string>
#include <vector>

class QMenu;

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

    int Row() const; // the current row
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
    void DblClick(TD64StringGrid* Sender);
    void Entered(TD64StringGrid* Sender);                // focus gained
    void KeyPressed(TD64StringGrid* Sender, QChar Key);  // character keys (Return is 13)
};
