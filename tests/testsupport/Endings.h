// How an action ends: the error it raises, or the application's event loop ending by itself.
#pragma once

#include "support/StrMan.h"

#include <QCoreApplication>
#include <QString>
#include <QTimer>

/// What Raised answers when the action raises nothing.
inline const QString NothingRaised = QStringLiteral("(rien)");

/// The message of the `Error` that `action` raises, or NothingRaised; other errors go on.
template <class Error = EScrivoError, class Action>
QString Raised(Action action)
{
    try {
        action();
    } catch (const Error &error) {
        return error.Message();
    }
    return NothingRaised;
}

/// Whether the application's event loop, once it runs, ends by a termination request
/// (exit code 0) rather than by the 2 s guard.
inline bool ApplicationEnds()
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(2000);
    return QCoreApplication::exec() == 0;
}
