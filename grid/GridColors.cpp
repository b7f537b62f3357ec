// Colour choice for the directory grid's cells.
#include "GridColors.h"

namespace GridColors {

TCellColors ActiveCaption(const QPalette& Palette) {
    return {Palette.color(QPalette::Active, QPalette::Highlight),
            Palette.color(QPalette::Active, QPalette::HighlightedText)};
}

TCellColors InactiveCaption(const QPalette& Palette) {
    const TCellColors Inactive{Palette.color(QPalette::Inactive, QPalette::Highlight),
                               Palette.color(QPalette::Inactive, QPalette::HighlightedText)};
    if (Inactive.Background == ActiveCaption(Palette).Background)
        return {FallbackInactiveCaption, FallbackInactiveCaptionText};
    return Inactive;
}

TCellColors CellColors(const QPalette& Palette, bool Fixed, bool Selected, bool Focused) {
    if (Fixed) return {InactiveCaption(Palette).Background, Qt::white};
    if (!Selected) return {Silver, Qt::black};
    return Focused ? ActiveCaption(Palette) : InactiveCaption(Palette);
}

} // namespace GridColors
