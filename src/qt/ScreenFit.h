#pragma once
// Windows on small screens. A window asks for the size it reads best at; on a screen of
// 1024x768 (or a laptop's, less the panel) that may be more than there is, and a window that
// opens past the screen's edge hides its buttons and its last fields where the keyboard still
// reaches them. So a window opens at most as large as the free part of the screen it opens on;
// and a row of many fields goes on to a second line when the window is too
// narrow for it, rather than cutting its last fields off.
#include <QLayout>
#include <QList>
#include <QSize>

class QWidget;

namespace storeadjust::qt {

// `wanted`, no larger than the free part of the screen the window opens on.
QSize WithinScreen(const QWidget& window, QSize wanted);

// Gives a window not yet shown the size `wanted` within the screen (see WithinScreen). Where it
// then opens is left to the dialog (centred over its parent and kept on the screen) or to the
// window manager: a position set here would keep a dialog from being centred.
void ResizeWithinScreen(QWidget& window, QSize wanted);

// Items side by side in their order, in as many lines as the width needs. A line is as high as
// its highest item; items keep the width they ask for.
class WrappingRowLayout : public QLayout {
 public:
  explicit WrappingRowLayout(QWidget* parent = nullptr);
  ~WrappingRowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Lays the items out in `rect` (placing them when `place`) and returns the height taken.
  int Arrange(const QRect& rect, bool place) const;

  QList<QLayoutItem*> items_;
};

}  // namespace storeadjust::qt
