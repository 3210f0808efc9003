#include "qt/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace storeadjust::qt {

namespace {

// The free part of the screen a window opens on: its parent's, else the one it was placed on.
QRect FreeScreenArea(const QWidget& window) {
  const QWidget* parent = window.parentWidget();
  const QScreen* screen = parent != nullptr ? parent->screen() : window.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// What the window manager adds around the window: the title bar and the border. Before the
// window first shows it is not known; a title bar and a thin border are allowed for.
QSize FrameExtra(const QWidget& window) {
  const QSize known = window.frameGeometry().size() - window.geometry().size();
  if (window.isVisible() && !known.isEmpty()) return known;
  return QSize(8, 32);
}

}  // namespace

QSize WithinScreen(const QWidget& window, QSize wanted) {
  const QSize room = FreeScreenArea(window).size() - FrameExtra(window);
  return wanted.boundedTo(room.expandedTo(QSize(1, 1)));
}

void ResizeWithinScreen(QWidget& window, QSize wanted) { window.resize(WithinScreen(window, wanted)); }

}  // namespace storeadjust::qt
