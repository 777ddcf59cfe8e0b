// Playing the person at a modal dialog: exec() blocks the test, so what the
// person does is queued first and runs as soon as the dialog is up.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace testsupport {

// Runs `act` on the next modal widget of type T to come up. When none comes
// within the time, the test fails and whatever modal widget is up is closed,
// so that the test ends instead of waiting for ever.
template <class T>
void WhenModal(std::function<void(T*)> act, int timeoutMs = 5000) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, act, clock, timeoutMs] {
    if (T* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(widget);
      return;
    }
    if (clock->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " came up";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  });
  timer->start(5);
}

}  // namespace testsupport
