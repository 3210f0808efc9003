#pragma once
// The base of every screen's window: a QDialog bound to a FormModel. A screen's view builds its
// widgets (objectName = control name), then calls Bind(). The close box asks the model
// (form.Close(), which QueryUnload may refuse: the window then stays). Enter and Esc in a bound
// widget belong to the screen's key handlers; the dialog never presses a default button, and an
// Esc from a widget the model does not know asks the model to close, as the close box does.
#include <QDialog>
#include <memory>

namespace storeadjust {
class FormModel;
}

namespace storeadjust::qt {

class FormBinder;

class FormView : public QDialog {
  Q_OBJECT

 public:
  FormView(FormModel& form, QWidget* parent = nullptr);
  ~FormView() override;

  FormModel& Form() const { return form_; }
  FormBinder* Binder() const { return binder_.get(); }

 public slots:
  void reject() override;  // the close box (and QDialog's own Esc): ask the model

 protected:
  // Binds the widget tree to the model; call once the widgets exist.
  void Bind();
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FormModel& form_;
  std::unique_ptr<FormBinder> binder_;
};

}  // namespace storeadjust::qt
