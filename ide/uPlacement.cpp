#include "ide/uPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {
// A maximised window's frame tells nothing of its normal frame. The rectangle
// a placement gave it stays its normal rectangle while its normal geometry is
// still the one it got then.
const char *const PlacedRectKey = "grazloPlacedNormalRect";
const char *const PlacedGeometryKey = "grazloPlacedNormalGeometry";

bool Intersects(const TPlaceRect &a, const TPlaceRect &b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

bool LiesInside(const TPlaceRect &area, const TPlaceRect &rect)
{
    return rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom;
}

// Cuts a task bar lying along one side of the monitor off the monitor.
TPlaceRect ReduceByTaskBar(TPlaceRect monitor, const TPlaceRect &bar)
{
    if (bar.left == monitor.left && bar.right == monitor.right) {
        if (bar.top <= monitor.top && monitor.top < bar.bottom)
            monitor.top = bar.bottom;
        if (bar.top < monitor.bottom && monitor.bottom <= bar.bottom)
            monitor.bottom = bar.top;
    }
    if (bar.top == monitor.top && bar.bottom == monitor.bottom) {
        if (bar.left <= monitor.left && monitor.left < bar.right)
            monitor.left = bar.right;
        if (bar.left < monitor.right && monitor.right <= bar.right)
            monitor.right = bar.left;
    }
    return monitor;
}

// Widens left and right but narrows top and bottom: the area stays within the
// rows every merged monitor covers.
void MergeInto(std::optional<TPlaceRect> &area, const TPlaceRect &monitor)
{
    if (!area) {
        area = monitor;
        return;
    }
    area->left = std::min(area->left, monitor.left);
    area->right = std::max(area->right, monitor.right);
    area->top = std::max(area->top, monitor.top);
    area->bottom = std::min(area->bottom, monitor.bottom);
}

void MoveTopLeftAndClip(const TPlaceRect &area, TPlaceRect &rect)
{
    const int width = rect.width();
    const int height = rect.height();
    rect.left = area.left;
    rect.top = area.top;
    rect.right = std::min(area.left + width, area.right);
    rect.bottom = std::min(area.top + height, area.bottom);
}

std::optional<TPlaceRect> TaskBarOf(const QRect &full, const QRect &avail)
{
    // QRect's right and bottom are inclusive; ours are exclusive.
    const int l = full.left(), t = full.top(), r = full.right() + 1, b = full.bottom() + 1;
    if (avail.top() > t)
        return TPlaceRect{l, t, r, avail.top()};
    if (avail.bottom() + 1 < b)
        return TPlaceRect{l, avail.bottom() + 1, r, b};
    if (avail.left() > l)
        return TPlaceRect{l, t, avail.left(), b};
    if (avail.right() + 1 < r)
        return TPlaceRect{avail.right() + 1, t, r, b};
    return std::nullopt;
}

bool IsNormalState(const QWidget *window)
{
    return !(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

// Left and top are the frame's, as NormalRect reads them. A created window
// would put its client area there and the window manager its title bar above
// it, one title bar higher at every restart; so the frame's position is handed
// to the platform as such, last, since a later move or resize would take it back.
void MoveWindow(QWidget *window, const TPlaceRect &rect)
{
    window->move(rect.left, rect.top);
    window->resize(rect.width(), rect.height());
    if (QWindow *handle = window->windowHandle())
        handle->setFramePosition({rect.left, rect.top});
}
} // namespace

bool ShiftRectInto(const TPlaceRect &area, TPlaceRect &rect)
{
    if (area.width() < rect.width() || area.height() < rect.height())
        return false;
    int dx = 0, dy = 0;
    if (rect.left < area.left)
        dx = area.left - rect.left;
    else if (rect.right > area.right)
        dx = area.right - rect.right;
    if (rect.top < area.top)
        dy = area.top - rect.top;
    else if (rect.bottom > area.bottom)
        dy = area.bottom - rect.bottom;
    rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    return true;
}

void FitRectToLayout(const TScreenLayout &layout, TPlaceRect &rect)
{
    // Without any monitor there is nowhere to move to; a zero-sized window would be worse.
    if (layout.monitors.isEmpty())
        return;
    std::optional<TPlaceRect> overall, touched;
    bool fits = false;
    for (const TPlaceRect &full : layout.monitors) {
        const TPlaceRect monitor = layout.taskBar ? ReduceByTaskBar(full, *layout.taskBar) : full;
        MergeInto(overall, monitor);
        if (Intersects(rect, monitor))
            MergeInto(touched, monitor);
        fits = touched && LiesInside(*touched, rect);
        if (fits)
            break;
    }
    if (fits)
        return;
    if (touched && ShiftRectInto(*touched, rect))
        return;
    if (ShiftRectInto(*overall, rect))
        return;
    MoveTopLeftAndClip(*overall, rect);
}

TScreenLayout CurrentScreenLayout()
{
    TScreenLayout layout;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect full = screen->geometry();
        layout.monitors.append({full.left(), full.top(), full.right() + 1, full.bottom() + 1});
        if (!layout.taskBar)
            layout.taskBar = TaskBarOf(full, screen->availableGeometry());
    }
    return layout;
}

void FitRectToScreen(QWidget *window, TPlaceRect &rect, bool apply, const TScreenLayout &layout)
{
    FitRectToLayout(layout, rect);
    if (apply && IsNormalState(window))
        MoveWindow(window, rect);
}

void SetFormPlacement(QWidget *window, TPlaceRect rect, TPlaceState state, const TScreenLayout &layout)
{
    const Qt::WindowStates others =
        window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state != TPlaceState::Maximized) {
        if (!IsNormalState(window))
            window->setWindowState(others);
        FitRectToScreen(window, rect, true, layout);
        return;
    }
    FitRectToScreen(window, rect, false, layout);
    // The restored rectangle of a window can only be set while it is restored.
    window->setWindowState(others);
    MoveWindow(window, rect);
    window->setWindowState(others | Qt::WindowMaximized);
    window->setProperty(PlacedRectKey, QRect(rect.left, rect.top, rect.width(), rect.height()));
    window->setProperty(PlacedGeometryKey, window->normalGeometry());
}

TPlaceRect NormalRect(const QWidget *window)
{
    if (IsNormalState(window) || !window->normalGeometry().isValid())
        return {window->x(), window->y(), window->x() + window->width(), window->y() + window->height()};
    if (window->normalGeometry() == window->property(PlacedGeometryKey).toRect()) {
        const QRect placed = window->property(PlacedRectKey).toRect();
        return {placed.left(), placed.top(), placed.left() + placed.width(), placed.top() + placed.height()};
    }
    const QPoint frameOffset = window->geometry().topLeft() - window->frameGeometry().topLeft();
    const QRect normal = window->normalGeometry();
    const int left = normal.left() - frameOffset.x();
    const int top = normal.top() - frameOffset.y();
    return {left, top, left + normal.width(), top + normal.height()};
}

TPlaceState WindowPlaceState(const QWidget *window)
{
    if (window->isMinimized())
        return TPlaceState::Minimized;
    if (window->isMaximized())
        return TPlaceState::Maximized;
    return TPlaceState::Normal;
}
