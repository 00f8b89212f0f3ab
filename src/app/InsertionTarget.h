// The target of insertion as the command line names it, decoded once at start-up:
// "-hwnd=<number>" names a window by its handle; "-app=<title>", or a document's file
// name, names it by a title (prefixes in any letter case).
#pragma once

#include "platform/WindowSystem.h"

#include <QString>

struct TInsertionTarget {
    enum class TKind {
        Title,     ///< searched by `Title`, then by `Title` cut before its first "."
        Handle,    ///< the window `Handle`
        BadHandle, ///< "-hwnd=" with a value that is not an integer: no window at all
    };

    TInsertionTarget() = default;
    /// Decodes `descriptor`; implicit, so that a descriptor can be assigned as it is.
    TInsertionTarget(const QString &descriptor); // NOLINT(google-explicit-constructor)

    /// The descriptor as given.
    QString Descriptor;
    TKind Kind = TKind::Title;
    QString Title;
    platform::WindowHandle Handle = 0;
};
