#pragma once
// Plays the user of a modal dialog: a modal exec() blocks the test, so the steps run from the
// event loop once the dialog is up.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

/// Runs `act` on the next modal dialog. `act` must close the dialog. Gives up after `tries`
/// looks, 5 ms apart; the answer is the look-out, gone once it has acted or given up.
inline QTimer* onModal(std::function<void(QDialog*)> act, int maxTries = 400) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, maxTries, tries = 0]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < maxTries) return;
        timer->stop();
        timer->deleteLater();
        if (dialog) act(dialog);
    });
    timer->start();
    return timer;
}
