#pragma once
// Plays the user of a modal dialog: a modal exec() blocks the test, so the steps run from the
// event loop once the dialog is up.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

/// Runs `act` on the next modal dialog. `act` must close the dialog.
inline void onModal(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries = 0]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 400) return;
        timer->stop();
        timer->deleteLater();
        if (dialog) act(dialog);
    });
    timer->start();
}
