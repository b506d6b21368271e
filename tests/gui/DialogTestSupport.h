#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace zobl::test {

// Modal dialogs run their own event loop: this acts on the next modal dialog of type T once it
// is up. Should none appear in time, the test fails and whatever modal window is open is closed,
// so that no test hangs.
template <typename T>
void OnModal(std::function<void(T&)> action, int timeoutMilliseconds = 5000) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMilliseconds] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            dialog != nullptr && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        } else if (clock->elapsed() > timeoutMilliseconds) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected modal dialog did not appear";
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        }
    });
    timer->start();
}

}  // namespace zobl::test
