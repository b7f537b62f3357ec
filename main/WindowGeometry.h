// Widget-free geometry of the main window: the listing column widths derived from a
// grid's client width, and the rule that keeps a restored window on the screen.
#pragma once

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

// Keeps a window rectangle on a screen of ScreenSize: the position is limited as if the
// window had its minimum size, the size to at least the minimum and at most the screen.
QRect ClampWindowBounds(const QRect& Bounds, const QSize& ScreenSize);
