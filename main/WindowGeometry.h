// Widget-free geometry of the main window: the listing column widths derived from a
// grid's client width, and the rule that keeps a restored window on the screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <array>

// Smallest size the main window may take; also the size the position limits assume.
constexpr int MinWindowWidth = 640;
constexpr int MinWindowHeight = 480;

// Widths of the four listing columns (size, name, type, track/sector) for a grid whose
// client area is ClientWidth pixels wide: 13 %, 50 % and 15 %, each rounded to the
// nearest integer with halves going to the even neighbour; the last column takes the
// rest minus 4 pixels of grid lines.
std::array<int, 4> ListingColumnWidths(int ClientWidth);

// Keeps a window on a screen of ScreenSize. Bounds holds the position of the window's
// frame and the size of its client area, Frame the frame's margins around the client
// area (none while no window manager has framed the window). The size stays between the
// minimum and what fits on the screen with its frame; then the position is limited so
// that the whole frame, title bar included, lies on the screen. On a screen smaller than
// the minimum window the top left corner stays on it, so the title bar can be reached.
QRect ClampWindowBounds(const QRect& Bounds, const QSize& ScreenSize, const QMargins& Frame = QMargins());
