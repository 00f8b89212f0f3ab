// The target of insertion as the command line names it, decoded once at start-up:
// "-hwnd=<number>" names a window by its handle; "-app=<title>", or a document's file
// name, names it by a title (prefixes in any letter case).
#pragma once

#include "platform/WindowSystem.h"

#include <QString>

struct TInsertionTarget {
    enum class TKind {
        Title,     ///< searched by `Title`, or by the name without its extension
        Handle,    ///< the window `Handle`
        BadHandle, ///< "-hwnd=" with a value that is not an integer: no window at all
    };

    TInsertionTarget() = default;
    /// Decodes `descriptor`; implicit, so that a descriptor can be assigned as it is.
    TInsertionTarget(const QString &descriptor); // NOLINT(google-explicit-constructor)

    /// How well a window's title matches a title target, best first: 0 the title
    /// itself; 1 a title that begins with it, or with the name without its extension
    /// ("lettre - Word" for "lettre.docx"); 2 a title that only contains one of them;
    /// -1 no match. Letters A to Z are compared without regard to case, over the
    /// title's first 79 characters.
    int TitleMatch(const QString &windowTitle) const;

    /// The descriptor as given.
    QString Descriptor;
    TKind Kind = TKind::Title;
    QString Title;
    /// `Title` cut before its last "." (the document name without its extension); the
    /// whole title when it holds no ".".
    QString TitleWithoutExtension;
    platform::WindowHandle Handle = 0;
    /// The word processor this program started on the document (0: none, or unknown):
    /// among windows that only contain the name, its own come first.
    std::uint64_t StartedProcess = 0;
};
