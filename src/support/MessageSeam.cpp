#include "MessageSeam.h"

namespace {
MessageSeam::Hook &installedHook()
{
    static MessageSeam::Hook hook;
    return hook;
}
} // namespace

void MessageSeam::setHook(Hook hook)
{
    installedHook() = std::move(hook);
}

MessageReply MessageSeam::exchange(const MessageRequest &request, const Dialog &realDialog)
{
    if (const Hook &hook = installedHook())
        return hook(request);
    return realDialog(request);
}
