#pragma once
// An event filter over every widget of the application, installed once under its name however
// often it is asked for (each window's view asks as it is made).
#include <QCoreApplication>
#include <QString>

namespace storeadjust::qt {

template <typename Filter>
void InstallOnceOnApplication(const QString& name) {
  auto* app = QCoreApplication::instance();
  if (app == nullptr || app->findChild<QObject*>(name, Qt::FindDirectChildrenOnly) != nullptr) return;
  auto* filter = new Filter(app);
  filter->setObjectName(name);
  app->installEventFilter(filter);
}

}  // namespace storeadjust::qt
