// TC64CharacterMap: chart geometry, painting and mouse selection.
#include "C64CharacterMap.h"

#include "PetsciiText.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const char* const BigGraphicFace = "CBM64 Big/Graphic";
const char* const SmallBigFace = "CBM64 Small/Big";

// Rows 0-4 hold 33..127, rows 5-9 161..255: the two runs of 95 printable codes.
constexpr int FirstCode = 33;
constexpr int RunLength = 95;
constexpr int SecondRunGap = 161 - (FirstCode + RunLength);

} // namespace

TC64CharacterMap::TC64CharacterMap(QWidget* Parent) : QWidget(Parent) {
    resize(DesignWidth, DesignHeight);
    // Like a windowless control, the chart never takes the keyboard focus.
    setFocusPolicy(Qt::NoFocus);
    SetFace(BigGraphicFace);
}

void TC64CharacterMap::UseBigGraphicFont() {
    SetFace(BigGraphicFace);
}

void TC64CharacterMap::UseSmallBigFont() {
    SetFace(SmallBigFace);
}

void TC64CharacterMap::SetFace(const char* Face) {
    // Twice the 8-pixel cell, so every glyph pixel is a 2x2 block.
    QFont Font = PetsciiText::C64Font(QString::fromLatin1(Face));
    Font.setPixelSize(GlyphPixels);
    setFont(Font);
    update();
}

uint8_t TC64CharacterMap::CodeOfCell(int Index) {
    if (Index < 0 || Index >= 2 * RunLength) return 0;
    return static_cast<uint8_t>(Index < RunLength ? FirstCode + Index : FirstCode + SecondRunGap + Index);
}

uint8_t TC64CharacterMap::CharAt(int X, int Y) {
    if (X < 0 || Y < 0) return 0;
    const int Col = X / Pitch;
    const int Row = Y / Pitch;
    if (Col >= ColCount || Row >= RowCount) return 0;
    return CodeOfCell(Row * ColCount + Col);
}

QPoint TC64CharacterMap::GlyphOrigin(uint8_t Code) {
    int Index = -1;
    if (Code >= FirstCode && Code < FirstCode + RunLength)
        Index = Code - FirstCode;
    else if (Code >= FirstCode + RunLength + SecondRunGap)
        Index = Code - FirstCode - SecondRunGap;
    if (Index < 0) return {-1, -1};
    return {Index % ColCount * Pitch + GlyphInset, Index / ColCount * Pitch + GlyphInset};
}

QRect TC64CharacterMap::GlyphRect(QPoint At) const {
    const QFontMetrics Metrics(font());
    return {At, QSize(Metrics.maxWidth(), Metrics.height())};
}

void TC64CharacterMap::paintEvent(QPaintEvent*) {
    QPainter Painter(this);
    Painter.setFont(font());
    Painter.fillRect(rect(), palette().color(QPalette::Button));
    PaintGridLines(Painter);
    for (int Index = 0; Index < RowCount * ColCount; ++Index) {
        const uint8_t Code = CodeOfCell(Index);
        PaintChar(Painter, Code, GlyphOrigin(Code));
    }
    if (FSelectedChar != 0) PaintSelectedChar(Painter, FSelectedChar, GlyphOrigin(FSelectedChar));
}

void TC64CharacterMap::PaintGridLines(QPainter& Painter) const {
    for (int Row = 0; Row <= RowCount; ++Row)
        Painter.fillRect(0, Row * Pitch, DesignWidth, 1, Qt::black);
    for (int Col = 0; Col <= ColCount; ++Col)
        Painter.fillRect(Col * Pitch, 0, 1, DesignHeight, Qt::black);
}

void TC64CharacterMap::PaintChar(QPainter& Painter, uint8_t Code, QPoint At) const {
    PaintGlyph(Painter, Code, At, palette().color(QPalette::WindowText), palette().color(QPalette::Button));
}

void TC64CharacterMap::PaintSelectedChar(QPainter& Painter, uint8_t Code, QPoint At) const {
    PaintGlyph(Painter, Code, At, palette().color(QPalette::HighlightedText),
               palette().color(QPalette::Highlight));
}

void TC64CharacterMap::PaintGlyph(QPainter& Painter, uint8_t Code, QPoint At, const QColor& Text,
                                  const QColor& Back) const {
    const QRect Glyph = GlyphRect(At);
    Painter.fillRect(Glyph, Back);
    Painter.setPen(Text);
    Painter.drawText(Glyph, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString(PetsciiText::ToDisplay(Code)));
}

void TC64CharacterMap::SelectAt(int X, int Y) {
    const uint8_t Code = CharAt(X, Y);
    if (Code == 0 || Code == FSelectedChar) return;
    if (FSelectedChar != 0) update(GlyphRect(GlyphOrigin(FSelectedChar)));
    FSelectedChar = Code;
    update(GlyphRect(GlyphOrigin(Code)));
}

void TC64CharacterMap::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton) return;
    FClickPending = true;
    const QPoint At = Event->position().toPoint();
    SelectAt(At.x(), At.y());
}

void TC64CharacterMap::mouseDoubleClickEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton) return;
    // The release that ends a double click raises no further click.
    FClickPending = false;
    const QPoint At = Event->position().toPoint();
    SelectAt(At.x(), At.y());
    emit DblClick();
}

void TC64CharacterMap::mouseMoveEvent(QMouseEvent* Event) {
    if (!(Event->buttons() & Qt::LeftButton)) return;
    const QPoint At = Event->position().toPoint();
    SelectAt(At.x(), At.y());
}

void TC64CharacterMap::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton || !FClickPending) return;
    FClickPending = false;
    if (rect().contains(Event->position().toPoint())) emit Click();
}
