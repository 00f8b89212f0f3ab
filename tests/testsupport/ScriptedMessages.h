// Test double for the message seam: records every modal request by its exact text and
// answers it from a queue (OK, or the primed button / input text), so that no test
// blocks on a window. Installed for the lifetime of the object.
#pragma once

#include "support/MessageSeam.h"

#include <QList>

#include <functional>

class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages &) = delete;
    ScriptedMessages &operator=(const ScriptedMessages &) = delete;

    /// Answers the next request with this reply (queued in order); unprimed requests
    /// are answered OK with the request's own initial value.
    void enqueue(const MessageReply &reply);
    void enqueueButton(int button) { enqueue({button, {}}); }
    void enqueueText(const QString &text) { enqueue({1, text}); }
    void enqueueCancel() { enqueue({2, {}}); }
    /// Runs `action` while the first request whose text starts with `textStart` is
    /// shown, as if something happened while the user read it.
    void whenShown(const QString &textStart, std::function<void()> action);

    const QList<MessageRequest> &requests() const { return FRequests; }
    /// The texts of all requests, in order.
    QStringList texts() const;
    void clear() { FRequests.clear(); }

private:
    QList<MessageRequest> FRequests;
    QList<MessageReply> FReplies;
    QList<std::pair<QString, std::function<void()>>> FActions;
};
