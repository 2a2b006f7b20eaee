#pragma once
// Putting a remembered window rectangle back onto the monitors that exist now,
// keeping it off the task bar. The algorithms work on plain rectangles so that
// any monitor layout can be checked without real screens.
#include <QList>
#include <optional>

class QWidget;

// Screen rectangle: left, top, right, bottom in pixels; right and bottom exclusive.
struct TPlaceRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const TPlaceRect &) const = default;
};

// The monitors in the platform's order and the task bar, if there is one.
struct TScreenLayout
{
    QList<TPlaceRect> monitors;
    std::optional<TPlaceRect> taskBar;
};

enum class TPlaceState { Normal = 0, Minimized = 1, Maximized = 2 };

// Moves rect into area when it fits there; false (rect unchanged) when the area
// is narrower or lower than the rectangle.
bool ShiftRectInto(const TPlaceRect &area, TPlaceRect &rect);

// Moves and clips rect onto the usable area of the layout's monitors.
void FitRectToLayout(const TScreenLayout &layout, TPlaceRect &rect);

// The monitors of this machine; the task bar is the strip a screen's available
// area leaves free of its full area (a panel of the desktop), if any.
TScreenLayout CurrentScreenLayout();

// Fits rect onto the layout; when apply is set and the window is in the normal
// state, moves the window there without activating it.
void FitRectToScreen(QWidget *window, TPlaceRect &rect, bool apply,
                     const TScreenLayout &layout = CurrentScreenLayout());

// Applies a normal rectangle and a window state (Normal or Maximized).
void SetFormPlacement(QWidget *window, TPlaceRect rect, TPlaceState state,
                      const TScreenLayout &layout = CurrentScreenLayout());

// The window's normal (restored) rectangle: the frame's origin and the client
// size, so that placing a window with it restores the same window.
TPlaceRect NormalRect(const QWidget *window);
// The window's state as stored: 0 normal, 1 minimised, 2 maximised.
TPlaceState WindowPlaceState(const QWidget *window);
