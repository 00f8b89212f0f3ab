#include "ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    MessageSeam::setHook([this](const MessageRequest &request) {
        FRequests << request;
        for (qsizetype i = 0; i < FActions.size(); ++i) {
            if (request.text.startsWith(FActions.at(i).first)) {
                const std::function<void()> action = FActions.takeAt(i).second;
                action();
                break;
            }
        }
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

void ScriptedMessages::whenShown(const QString &textStart, std::function<void()> action)
{
    FActions.append({textStart, std::move(action)});
}
