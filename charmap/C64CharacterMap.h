// TC64CharacterMap: the chart of every printable character of the C64 fonts, codes 33-127
// and 161-255 in 10 rows of 19 square cells, from which the user picks one code with the
// mouse (a press, a double click, or dragging with the left button held). Which cell a
// point hits and where a code is drawn are pure functions; painting only reads them.
#pragma once

#include <QFont>
#include <QPoint>
#include <QWidget>

#include <cstdint>

class QPainter;

class TC64CharacterMap : public QWidget {
    Q_OBJECT

  public:
    static constexpr int ColCount = 19;
    static constexpr int RowCount = 10;
    static constexpr int Pitch = 19;     // cell size including one grid line
    static constexpr int GlyphInset = 2; // glyph corner right of and below the cell corner
    static constexpr int GlyphPixels = 16;
    // The grid lines cover x 0..361 and y 0..190.
    static constexpr int DesignWidth = ColCount * Pitch + 1;
    static constexpr int DesignHeight = RowCount * Pitch + 1;

    explicit TC64CharacterMap(QWidget* Parent = nullptr);

    // The selected code; 0 while nothing is selected.
    uint8_t SelectedChar() const { return FSelectedChar; }

    void UseBigGraphicFont();
    void UseSmallBigFont();
    QString FaceName() const { return font().family(); }

    // The code in the cell under a client point, 0 when the point lies in no cell
    // (outside the chart on any side, or on its closing right or bottom line).
    static uint8_t CharAt(int X, int Y);
    // The code of the cell with this index in reading order (0..189).
    static uint8_t CodeOfCell(int Index);
    // Top-left corner of the glyph of a code on the chart; (-1, -1) for a code not shown.
    static QPoint GlyphOrigin(uint8_t Code);

  signals:
    void Click();    // the left button was released over the chart (OnClick)
    void DblClick(); // left double click (OnDblClick)

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

  private:
    void SetFace(const char* Face);
    void PaintGridLines(QPainter& Painter) const;
    void PaintChar(QPainter& Painter, uint8_t Code, QPoint At) const;
    void PaintSelectedChar(QPainter& Painter, uint8_t Code, QPoint At) const;
    void PaintGlyph(QPainter& Painter, uint8_t Code, QPoint At, const QColor& Text, const QColor& Back) const;
    QRect GlyphRect(QPoint At) const;
    // Selects the code under a point, if it is on the chart and not selected already, and
    // repaints just the old and the new glyph.
    void SelectAt(int X, int Y);

    uint8_t FSelectedChar = 0;
    // A press started a click that has not yet been released; a double click cancels it.
    bool FClickPending = false;
};
