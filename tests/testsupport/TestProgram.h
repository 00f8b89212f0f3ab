// The program as its entry builds it, for GUI tests of the main window: scripted answers
// to every message, a recording window system installed, the process objects and the
// main window. The seam comes first, so that no message blocks a test, not even one about
// this machine's registry files; all is destroyed in reverse order, the window before the
// process objects and the window system, the seam last.
#pragma once

#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "testsupport/RecordingWindowSystem.h"
#include "testsupport/ScriptedMessages.h"

#include <memory>

class TestProgram {
public:
    /// How far the constructor goes after the seam and the window system. A test that
    /// writes the registry first creates the process objects itself (they read it).
    enum class Upto { WindowSystem, Objects, Window };

    explicit TestProgram(Upto upto = Upto::Window);
    ~TestProgram();
    TestProgram(const TestProgram &) = delete;
    TestProgram &operator=(const TestProgram &) = delete;

    void createObjects() { FObjects = std::make_unique<TCProcessObjects>(); }
    /// The main window, not shown.
    TfScrivo *createWindow()
    {
        FWindow = std::make_unique<TfScrivo>();
        FWindow->FInsertionRoad = &FInsertionRoad;
        return FWindow.get();
    }
    /// Shows the main window without its start-up (tested on its own), aimed at the
    /// document "lettre.odt", open in the word processor; false when it was not exposed.
    bool showOnLetter();

    TfScrivo *window() const { return FWindow.get(); }
    platform::RecordingWindowSystem &windowSystem() { return FWindowSystem; }
    TInsertionRoad &insertionRoad() { return FInsertionRoad; }
    ScriptedMessages &messages() { return FMessages; }
    /// The key events typed are exactly those of Ctrl+V.
    bool pasted() const;

protected:
    void destroyWindow() { FWindow.reset(); }

private:
    TestProgram(Upto upto, platform::RecordingWindowSystem *windowSystem);

    ScriptedMessages FMessages;
    TInsertionRoad FInsertionRoad;
    platform::RecordingWindowSystem &FWindowSystem; ///< the road's

    std::unique_ptr<TCProcessObjects> FObjects;
    std::unique_ptr<TfScrivo> FWindow;
};
