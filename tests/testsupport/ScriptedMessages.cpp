#include "ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    MessageSeam::setHook([this](const MessageRequest &request) {
        FRequests << request;
        if (!FReplies.isEmpty())
            return FReplies.takeFirst();
        return MessageReply{1, request.value};
    });
}

ScriptedMessages::~ScriptedMessages()
{
    MessageSeam::setHook({});
}

void ScriptedMessages::enqueue(const MessageReply &reply)
{
    FReplies << reply;
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const MessageRequest &request : FRequests)
        result << request.text;
    return result;
}
