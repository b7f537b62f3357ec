// The directory grid's cell colours: header cells, plain rows and selected rows with
// and without the keyboard focus, taken from the palette's caption colours.
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
// still look different.
inline const QColor FallbackInactiveCaption{128, 128, 128};
inline const QColor FallbackInactiveCaptionText{212, 208, 200};

TCellColors ActiveCaption(const QPalette& Palette);
TCellColors InactiveCaption(const QPalette& Palette);
TCellColors CellColors(const QPalette& Palette, bool Fixed, bool Selected, bool Focused);

} // namespace GridColors
