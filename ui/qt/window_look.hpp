// The look the windows share: the font, the blue of values and controls, the grey frame,
// the banner picture and the map icon (both drawn here, at start), click-on-release, dragging
// a window by its banner, and texts that end with an ellipsis where they do not fit.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <functional>

#include "ui/logic/window_layout.hpp"

class QLabel;
class QWidget;

namespace kartwerk::qt {

// "Lucida Sans Unicode" at a pixel size; the system's sans-serif font where it is missing.
QFont WindowFont(int pixelSize, bool bold = false);

QColor ValueBlue();  // value labels, list text, buttons
QColor FrameGrey();  // the one-pixel window frame and the button boxes
QColor ToQColor(logic::layout::Colour colour);
// A place of the layout as Qt's rectangle.
QRect Geometry(logic::layout::Box box);

// The banner across the top of the browser, the slot picker and the version picker (415 x 70).
QPixmap BannerPicture(qreal devicePixelRatio = 1.0);
// The 16 x 16 picture before every map row of the browser.
QPixmap MapRowIcon();

// A label at a place, with a text; autoSize gives it the width its text needs.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, logic::layout::Box at);

// Runs action whenever the left mouse button is released over widget (the way the windows'
// boxes, buttons and "X" react), and gives widget the hand cursor.
void OnMouseRelease(QWidget* widget, std::function<void()> action);

// Dragging handle (a window's banner) with the left button moves its borderless window.
void MoveWindowByDragging(QWidget* handle);

// Sets a label's text, ending it with an ellipsis where it would not fit the label's width;
// the whole text is then its tooltip.
void SetElidedText(QLabel* label, const QString& text);

}  // namespace kartwerk::qt
