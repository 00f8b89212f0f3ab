// Test double for the message seam: records every modal request by its exact text and
// answers it from a queue (OK, or the primed button / input text), so that no test
// blocks on a window. Installed for the lifetime of the object.
#pragma once

#include "support/MessageSeam.h"

#include <QList>

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

    const QList<MessageRequest> &requests() const { return FRequests; }
    /// The texts of all requests, in order.
    QStringList texts() const;
    void clear() { FRequests.clear(); }

private:
    QList<MessageRequest> FRequests;
    QList<MessageReply> FReplies;
};
