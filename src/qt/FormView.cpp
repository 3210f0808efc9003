#include "qt/FormView.h"

#include <QKeyEvent>

#include "host/FormModel.h"
#include "qt/FormBinder.h"

namespace storeadjust::qt {

FormView::FormView(FormModel& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(QString::fromStdString(form.Caption));
}

FormView::~FormView() = default;

void FormView::reject() {
  form_.Close();
  if (!form_.IsOpen() && isVisible()) QDialog::reject();
}

void FormView::Bind() { binder_ = std::make_unique<FormBinder>(form_, *this); }

void FormView::keyPressEvent(QKeyEvent* event) {
  // Keys of the bound widgets went to the model already. Esc from any other widget closes the
  // window as the model's Esc does (reject asks the model); Enter never presses a button.
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace storeadjust::qt
