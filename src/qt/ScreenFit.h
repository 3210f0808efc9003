#pragma once
// Windows on small screens. A window asks for the size it reads best at; on a screen of
// 1024x768 (or a laptop's, less the panel) that may be more than there is, and a window that
// opens past the screen's edge hides its buttons and its last fields where the keyboard still
// reaches them. So a window opens at most as large as the free part of the screen it opens on.
#include <QSize>

class QWidget;

namespace storeadjust::qt {

// `wanted`, no larger than the free part of the screen the window opens on.
QSize WithinScreen(const QWidget& window, QSize wanted);

// Gives a window not yet shown the size `wanted` within the screen (see WithinScreen). Where it
// then opens is left to the dialog (centred over its parent and kept on the screen) or to the
// window manager: a position set here would keep a dialog from being centred.
void ResizeWithinScreen(QWidget& window, QSize wanted);

}  // namespace storeadjust::qt
