// Widget-free geometry of the main window.
#include "WindowGeometry.h"

#include <algorithm>
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

QRect ClampWindowBounds(const QRect& Bounds, const QSize& ScreenSize, const QMargins& Frame) {
    const int FrameWidth = Frame.left() + Frame.right();
    const int FrameHeight = Frame.top() + Frame.bottom();
    const int Width = std::max(MinWindowWidth, std::min(Bounds.width(), ScreenSize.width() - FrameWidth));
    const int Height =
        std::max(MinWindowHeight, std::min(Bounds.height(), ScreenSize.height() - FrameHeight));
    const int Left = std::max(0, std::min(Bounds.x(), ScreenSize.width() - Width - FrameWidth));
    const int Top = std::max(0, std::min(Bounds.y(), ScreenSize.height() - Height - FrameHeight));
    return QRect(Left, Top, Width, Height);
}
