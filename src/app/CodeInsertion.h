// The one road by which a merge code reaches the document: the code goes on the
// clipboard (checked there), the target window is found and brought to the foreground,
// Ctrl+V is typed once it holds the focus, and the road waits until the target has read
// the code before the next one may replace it. Codes asked for meanwhile wait in a queue
// and follow in order.
#pragma once

#include "InsertionTarget.h"
#include "platform/WindowSystem.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

/// The road owns the window system for its life and hands it meanwhile to the key
/// sender, whose keys go through it; nothing else reaches the window system. One road at
/// a time; the main window is given the road it sends its codes down.
class TInsertionRoad : public QObject {
    Q_OBJECT

public:
    enum class TResult {
        Inserted,  ///< typed, and read by the target (or by the program serving it now)
        Queued,    ///< another insertion is under way: this code follows it
        Told,      ///< not inserted; `Message` tells the user why
        Abandoned, ///< the program is ending or the document went: nothing to tell
    };
    struct TAnswer {
        TResult Result = TResult::Inserted;
        QString Message;
        /// Whether the message belongs to the main window (else it has no owner).
        bool MessageOwned = true;
    };

    /// None: no window is ever found, nothing is typed.
    explicit TInsertionRoad(std::unique_ptr<platform::WindowSystem> windowSystem);
    ~TInsertionRoad() override;
    TInsertionRoad(const TInsertionRoad &) = delete;
    TInsertionRoad &operator=(const TInsertionRoad &) = delete;

    bool HasWindowSystem() const { return FWindowSystem != nullptr; }

    /// Inserts `code` into `target`'s window; a code that does not begin with "£" is
    /// inserted as "£" + code + "#". While `endRequested` is true, or becomes true
    /// during a wait, nothing more is typed. A failure drops the codes queued behind.
    /// The text stays on the clipboard in every case where it could be put there.
    TAnswer InsertCode(const TInsertionTarget &target, const QString &code, const bool &endRequested);

    /// Whether the target window exists now, without activating anything. A window once
    /// found counts while it lives and keeps a matching title, even where no search
    /// would find it (on another virtual desktop).
    bool TargetExists(const TInsertionTarget &target);
    /// Finds the target window and brings it to the foreground; false when none.
    bool ActivateTarget(const TInsertionTarget &target);
    /// Waits, with the event loop running, until `window` steadily holds the keyboard
    /// focus, asking for it again now and then; false when it never does, as soon as the
    /// window is gone, or as soon as `abandoned` becomes true.
    bool WaitForFocus(platform::WindowHandle window, const bool &abandoned);

signals:
    /// What the road waits for, for the status panel; empty once it waits no more.
    void StatusChanged(const QString &text);

private:
    platform::WindowHandle FindTarget(const TInsertionTarget &target);
    platform::WindowHandle SearchTitle(const TInsertionTarget &target);
    TAnswer InsertOne(const TInsertionTarget &target, const QString &text, const bool &endRequested);
    bool WaitForModifiersReleased(const bool &abandoned);
    void ShowStatus();

    std::unique_ptr<platform::WindowSystem> FWindowSystem;
    /// The window the last search found, kept while it lives and matches.
    platform::WindowHandle FFoundWindow = 0;
    bool FInserting = false;
    /// Whether the target is slow to read the code (the status panel says so).
    bool FTargetBusy = false;
    QStringList FQueue;
};
