// The caption colours of the directory grid and the disk-name panels: header cells, plain
// rows and selected rows with and without the keyboard focus, taken from the palette's
// caption colours and kept readable.
#pragma once

#include <QColor>
#include <QPalette>

namespace GridColors {

struct TCellColors {
    QColor Background;
    QColor Text;
};

// The grid's own background and the cells of unselected rows.
inline const QColor Silver{192, 192, 192};
// Shown for the inactive caption when the style gives inactive windows the active
// highlight (Fusion and the offscreen platform do), so focused and unfocused selections
// still look different. Dark enough for white text.
inline const QColor FallbackInactiveCaption{112, 112, 112};
inline const QColor FallbackInactiveCaptionText{255, 255, 255};
// Least contrast ratio text must have against its background to read well.
constexpr double MinimumContrast = 4.5;

// Contrast ratio of two colours by their relative luminance, from 1 (same) to 21.
double ContrastRatio(const QColor& First, const QColor& Second);
// Preferred when it reads on Background, otherwise black or white, whichever reads better.
QColor ReadableOn(const QColor& Background, const QColor& Preferred);

TCellColors ActiveCaption(const QPalette& Palette);
TCellColors InactiveCaption(const QPalette& Palette);
TCellColors CellColors(const QPalette& Palette, bool Fixed, bool Selected, bool Focused);

} // namespace GridColors
