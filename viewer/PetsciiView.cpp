// Painting the lines in sight, and the scroll ranges.
#include "PetsciiView.h"

#include "PetsciiText.h"

#include <QPainter>
#include <QScrollBar>

TPetsciiView::TPetsciiView(const QString& Face, QWidget* Parent)
    : QAbstractScrollArea(Parent), Font(PetsciiText::C64Font(Face)) {
    Font.setPixelSize(CellSize);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void TPetsciiView::SetLines(QStringList Lines) {
    Text = std::move(Lines);
    Columns = 0;
    for (const QString& Line : Text)
        Columns = std::max(Columns, static_cast<int>(Line.size()));
    UpdateScrollBars();
    viewport()->update();
}

void TPetsciiView::SetFace(const QString& Face) {
    Font.setFamily(Face);
    viewport()->update();
}

void TPetsciiView::UpdateScrollBars() {
    const QSize Area = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(Text.size()) - Area.height() / CellSize));
    verticalScrollBar()->setPageStep(std::max(1, Area.height() / CellSize));
    horizontalScrollBar()->setRange(0, std::max(0, Columns * CellSize - Area.width()));
    horizontalScrollBar()->setSingleStep(CellSize);
    horizontalScrollBar()->setPageStep(Area.width());
}

void TPetsciiView::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollBars();
}

void TPetsciiView::paintEvent(QPaintEvent*) {
    QPainter Painter(viewport());
    Painter.setFont(Font);
    Painter.setPen(palette().color(QPalette::Text));
    const int First = verticalScrollBar()->value();
    const int Shown = viewport()->height() / CellSize + 1;
    const int Last = std::min(static_cast<int>(Text.size()), First + Shown);
    for (int Line = First; Line < Last; ++Line)
        Painter.drawText(QRect(-horizontalScrollBar()->value(), (Line - First) * CellSize,
                               Columns * CellSize + CellSize, CellSize),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text[Line]);
}
