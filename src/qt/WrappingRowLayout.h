#pragma once
// A row of many fields goes on to a second line when the window is too narrow for it, rather
// than cutting its last fields off past the screen's edge, where the keyboard still reaches them.
#include <QLayout>
#include <QList>
#include <QSize>

namespace storeadjust::qt {

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
