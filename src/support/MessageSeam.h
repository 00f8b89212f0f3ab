// Every modal exchange with the user (message box, error window, text input) goes
// through this seam. By default it shows the real dialog; a test installs a hook that
// records each request by its exact text and answers it, so no test blocks on a window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

struct MessageRequest {
    enum class Kind { MessageBox, ErrorWindow, InputText };
    Kind kind = Kind::MessageBox;
    QWidget *parent = nullptr;
    QString text;   ///< message, or the prompt of an input
    QString title;  ///< title as shown ("*APP*" already resolved)
    int flags = 0;  ///< MsgBox flags (mf... bits)
    QString value;  ///< initial text of an input
};

struct MessageReply {
    int button = 1;      ///< platform button code (1 OK, 2 Cancel, 6 Yes, 7 No)
    QString value;       ///< text typed into an input
};

namespace MessageSeam {

using Hook = std::function<MessageReply(const MessageRequest &)>;
using Dialog = std::function<MessageReply(const MessageRequest &)>;

/// Installs a hook that answers every request instead of the real dialogs; an empty
/// hook restores the real dialogs.
void setHook(Hook hook);

/// Passes the request to the hook when one is installed, else runs `realDialog`.
MessageReply exchange(const MessageRequest &request, const Dialog &realDialog);

} // namespace MessageSeam
