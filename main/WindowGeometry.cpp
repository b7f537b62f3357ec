// Widget-free geometry of the main window.
#include "WindowGeometry.h"

#include <cfenv>
#include <cmath>

namespace {

// Nearest integer, halves to even. std::nearbyint follows the current rounding mode,
// so the mode is pinned for the call rather than trusted.
int RoundHalfEven(double Value) {
    const int Saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double Rounded = std::nearbyint(Value);
    std::fesetround(Saved);
    return static_cast<int>(Rounded);
}

} // namespace

std::array<int, 4> ListingColumnWidths(int ClientWidth) {
    std::array<int, 4> Widths{};
    Widths[0] = RoundHalfEven(ClientWidth * 0.13);
    Widths[1] = RoundHalfEven(ClientWidth * 0.5);
    Widths[2] = RoundHalfEven(ClientWidth * 0.15);
    Widths[3] = ClientWidth - Widths[0] - Widths[1] - Widths[2] - 4;
    return Widths;
}

QRect ClampWindowBounds(const QRect& Bounds, const QSize& ScreenSize) {
    const int SW = ScreenSize.width();
    const int SH = ScreenSize.height();
    int Left = Bounds.x();
    int Top = Bounds.y();
    int Width = Bounds.width();
    int Height = Bounds.height();

    if (Left < 0)
        Left = 0;
    else if (Left >= SW - MinWindowWidth)
        Left = SW - MinWindowWidth;

    if (Top < 0)
        Top = 0;
    else if (Top >= SH - MinWindowHeight)
        Top = SH - MinWindowHeight;

    if (Width < MinWindowWidth)
        Width = MinWindowWidth;
    else if (Width >= SW)
        Width = SW;

    if (Height < MinWindowHeight)
        Height = MinWindowHeight;
    else if (Height >= SH)
        Height = SH;

    return QRect(Left, Top, Width, Height);
}
