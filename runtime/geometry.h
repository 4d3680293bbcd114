#pragma once

// The window designs give positions and sizes in twips; the program lays its
// windows out in device-independent pixels at 15 twips to the pixel.

#include <QRect>
#include <QWidget>

namespace runtime {

constexpr int twips(int value)
{
    return (value + 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

// Places a control by its design geometry and returns it, so a window's
// layout reads like its design table.
template <class W> W *place(W *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// Moves a top-level window to the centre of the screen it will show on, its
// frame included. Before a window is first shown the window system may not
// know the frame yet (X11 learns it when the window manager takes the window);
// the window is then centred again as soon as its frame is known.
void centreOnScreen(QWidget *window);

} // namespace runtime
