// Colour choice for the directory grid's cells and the disk-name panels.
#include "GridColors.h"

#include <algorithm>
#include <cmath>

namespace GridColors {

namespace {

double Luminance(const QColor& Colour) {
    auto Linear = [](double Channel) {
        return Channel <= 0.04045 ? Channel / 12.92 : std::pow((Channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * Linear(Colour.redF()) + 0.7152 * Linear(Colour.greenF()) +
           0.0722 * Linear(Colour.blueF());
}

} // namespace

double ContrastRatio(const QColor& First, const QColor& Second) {
    const double A = Luminance(First);
    const double B = Luminance(Second);
    return (std::max(A, B) + 0.05) / (std::min(A, B) + 0.05);
}

QColor ReadableOn(const QColor& Background, const QColor& Preferred) {
    if (ContrastRatio(Background, Preferred) >= MinimumContrast) return Preferred;
    const QColor Black(Qt::black);
    const QColor White(Qt::white);
    return ContrastRatio(Background, Black) > ContrastRatio(Background, White) ? Black : White;
}

TCellColors ActiveCaption(const QPalette& Palette) {
    return {Palette.color(QPalette::Active, QPalette::Highlight),
            Palette.color(QPalette::Active, QPalette::HighlightedText)};
}

TCellColors InactiveCaption(const QPalette& Palette) {
    TCellColors Inactive{Palette.color(QPalette::Inactive, QPalette::Highlight),
                         Palette.color(QPalette::Inactive, QPalette::HighlightedText)};
    if (Inactive.Background == ActiveCaption(Palette).Background)
        Inactive = {FallbackInactiveCaption, FallbackInactiveCaptionText};
    Inactive.Text = ReadableOn(Inactive.Background, Inactive.Text);
    return Inactive;
}

TCellColors CellColors(const QPalette& Palette, bool Fixed, bool Selected, bool Focused) {
    if (Fixed) {
        const QColor Background = InactiveCaption(Palette).Background;
        return {Background, ReadableOn(Background, Qt::white)};
    }
    if (!Selected) return {Silver, Qt::black};
    return Focused ? ActiveCaption(Palette) : InactiveCaption(Palette);
}

} // namespace GridColors
