#include "qt/QtUserInterface.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <algorithm>
#include <memory>

#include "adodb/Error.h"
#include "host/FormModel.h"
#include "lines/GoodsPlaceAllocation.h"
#include "qt/ClassicMessageBox.h"
#include "qt/FileListingGuard.h"
#include "qt/FirstExpiringBatch.h"
#include "qt/FormView.h"
#include "qt/GoodsPlaceDialogView.h"
#include "qt/ModuleViews.h"
#include "qt/PrintComponent.h"
#include "qt/PrintedFile.h"
#include "qt/ReprintComponent.h"
#include "qt/ReportCommands.h"
#include "qt/FormViewRegistry.h"
#include "qt/SecondClickGuard.h"
#include "qt/SelectDialogView.h"

namespace storeadjust::qt {

QtUserInterface::QtUserInterface(QString settingsOrganization) : organization_(std::move(settingsOrganization)) {
  // Every form the module runs modally needs its window; registering is idempotent.
  RegisterModuleViews();
  // The print dialog and the export's file dialog list folders that may hold the database.
  KeepFileListsFromOpeningFiles();
  DropTheSecondClickOfADoubleClickThatOpenedAWindow();
}

QtUserInterface::~QtUserInterface() {
  HideWaitStatus();
  if (progress_) RemoveOverlay(progress_);
  while (busyDepth_ > 0) SetBusy(false);
}

int QtUserInterface::MsgBox(const std::string& text, int buttons, const std::string& title) {
  QWidget* parent = DialogParent();
  std::unique_ptr<QMessageBox> box(
      MakeClassicMessageBox(QString::fromStdString(text), buttons, QString::fromStdString(title), parent));
  // A question must be readable even while a long operation shows the hourglass.
  if (busyDepth_ > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = RunClassicMessageBox(*box);
  if (busyDepth_ > 0) QApplication::restoreOverrideCursor();
  GiveKeyboardBack(parent);
  return answer;
}

void QtUserInterface::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
  } else if (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

long QtUserInterface::ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) {
  QWidget* parent = DialogParent();
  SelectDialogView dialog(rows, request.subject, parent, organization_);
  if (request.heldRowPosition > 0) dialog.SelectPosition(request.heldRowPosition);
  else if (request.modeFlag) dialog.SelectPosition(FirstExpiringBatch(rows, request.subject.billDate));
  const long chosen = dialog.Choose();
  GiveKeyboardBack(parent);
  return chosen;
}

void QtUserInterface::ShowWaitStatus(const std::string& text) {
  QWidget* window = text.empty() ? nullptr : DialogParent();
  if (!waitStatus_ || waitStatus_->parentWidget() != window) HideWaitStatus();
  if (window == nullptr) return;
  if (!waitStatus_) {
    waitStatus_ = new QLabel(window);
    waitStatus_->setObjectName(QStringLiteral("WaitStatus"));
    waitStatus_->setAutoFillBackground(true);
    waitStatus_->setBackgroundRole(QPalette::ToolTipBase);
    waitStatus_->setForegroundRole(QPalette::ToolTipText);
    waitStatus_->setFrameShape(QFrame::Box);
    waitStatus_->setMargin(4);
    if (!waitCursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
  }
  waitStatus_->setText(QString::fromStdString(text));
  const int height = std::min(waitStatus_->sizeHint().height(), window->height());
  waitStatus_->setGeometry(0, window->height() - height, window->width(), height);
  waitStatus_->show();
  waitStatus_->raise();
  waitStatus_->repaint();
}

void QtUserInterface::HideWaitStatus() {
  if (waitCursor_) QApplication::restoreOverrideCursor();
  waitCursor_ = false;
  if (waitStatus_) RemoveOverlay(waitStatus_);
}

// Takes a note or bar off its window and paints what it covered, there and then.
void QtUserInterface::RemoveOverlay(QWidget* overlay) {
  QWidget* window = overlay->parentWidget();
  const QRect covered = overlay->geometry();
  delete overlay;
  window->repaint(covered);
}

void QtUserInterface::ShowProgress(const std::string& text, long done, long total) {
  QWidget* window = total > 0 ? DialogParent() : nullptr;
  if (progress_ && progress_->parentWidget() != window) RemoveOverlay(progress_);
  if (window == nullptr) return;
  if (!progress_) {
    progress_ = new QProgressBar(window);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setAlignment(Qt::AlignCenter);
    progress_->setTextVisible(true);
  }
  progress_->setRange(0, static_cast<int>(total));
  progress_->setValue(static_cast<int>(done));
  progress_->setFormat(QString::fromStdString(text));
  const int width = window->width() * 2 / 3;
  const int height = progress_->sizeHint().height();
  progress_->setGeometry((window->width() - width) / 2, (window->height() - height) / 2, width, height);
  progress_->show();
  progress_->raise();
  progress_->repaint();
}

// The dialog is an outside component: a failure to read its places is shown as its description
// and leaves the allocation unconfirmed, so the editor goes on as after a cancel.
GoodsPlaceAnswer QtUserInterface::ShowGoodsPlaces(const GoodsPlaceRequest& request) {
  QWidget* parent = DialogParent();
  GoodsPlaceAnswer answer;
  try {
    GoodsPlaceAllocation allocation(request);
    GoodsPlaceDialogView dialog(allocation, parent);
    if (dialog.exec() == QDialog::Accepted) answer = {true, allocation.Items()};
  } catch (const adodb::Error& error) {
    ShowFailureBox(error, parent, mb::kInformation);
  }
  GiveKeyboardBack(parent);
  return answer;
}

void QtUserInterface::Print(const PrintRequest& request) {
  QWidget* parent = DialogParent();
  const QString file = PrintComponent(parent).Print(request);
  if (!file.isEmpty()) MsgBox(SavedToText(file), mb::kInformation, "系统提示");
  GiveKeyboardBack(parent);
}

void QtUserInterface::Reprint(const ReprintRequest& request) {
  QWidget* parent = DialogParent();
  ReprintComponent(parent).Start(request);
  GiveKeyboardBack(parent);
}

void QtUserInterface::RunReportCommand(QvGrid& grid, int command) {
  QWidget* parent = DialogParent();
  RunReportCommandOnDesktop(*this, grid, command, parent);
  GiveKeyboardBack(parent);
}

void QtUserInterface::RunModal(FormModel& form) {
  const FormViewFactory* factory = FindFormView(form.Name());
  if (factory == nullptr) {
    MsgBox("窗口 " + form.Name() + " 尚未提供", mb::kInformation, "系统提示");
    form.Close();
    return;
  }
  QWidget* parent = DialogParent();
  std::unique_ptr<FormView> view = (*factory)(form, parent);
  auto previousClosed = form.OnClosed;
  FormView* shown = view.get();
  form.OnClosed = [previousClosed, shown] {
    if (previousClosed) previousClosed();
    shown->done(QDialog::Accepted);
  };
  if (form.IsOpen()) view->exec();
  form.OnClosed = previousClosed;
  GiveKeyboardBack(parent);
}


// Most window managers hand the keyboard back to the window a dialog was over; doing it here
// makes sure the focus move the screen makes next reaches the clerk on every platform.
void QtUserInterface::GiveKeyboardBack(QWidget* window) {
  if (window != nullptr && window->isVisible()) window->activateWindow();
}

QWidget* QtUserInterface::DialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

}  // namespace storeadjust::qt
