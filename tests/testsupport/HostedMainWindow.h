// A main window ready to host pickers in GUI tests: the process objects, the image
// store, a recording window system holding the target document's window, and scripted
// answers to every message. Tests click in the hosted picker and read what reached the
// document with insertedBy().
#pragma once

#include "app/Scrivo.h"
#include "platform/RecordingWindowSystem.h"
#include "testsupport/ScriptedMessages.h"

#include <functional>
#include <memory>

class TCProcessObjects;
class TfWrkGraphics;

class HostedMainWindow {
public:
    HostedMainWindow();
    ~HostedMainWindow();
    HostedMainWindow(const HostedMainWindow &) = delete;
    HostedMainWindow &operator=(const HostedMainWindow &) = delete;

    TfScrivo *window() const { return FWindow.get(); }
    platform::RecordingWindowSystem &windowSystem() { return *FWindowSystem; }
    ScriptedMessages &messages() { return *FMessages; }

    /// Hosts a picker of class `Picker` (as its category button does) and returns it.
    template <class Picker> Picker *host()
    {
        FWindow->ShowPicker(&Picker::staticMetaObject);
        return FWindow->panelHost->findChild<Picker *>(QString(), Qt::FindDirectChildrenOnly);
    }

    /// What `action` put into the document: the clipboard text when exactly one Ctrl+V
    /// was typed; a null text when nothing was typed and the clipboard was not touched;
    /// otherwise a description of what happened instead.
    QString insertedBy(const std::function<void()> &action);

private:
    std::unique_ptr<ScriptedMessages> FMessages;
    std::unique_ptr<TCProcessObjects> FObjects;
    std::unique_ptr<platform::RecordingWindowSystem> FWindowSystem;
    std::unique_ptr<TfWrkGraphics> FGraphics;
    std::unique_ptr<TfScrivo> FWindow;
};
