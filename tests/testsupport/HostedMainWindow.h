// A main window ready to host pickers in GUI tests: the program with its image store,
// shown on the target document's window. Tests work the hosted picker and read what
// reached the document through the picker driver's functions.
#pragma once

#include "testsupport/PickerDriver.h"
#include "testsupport/TestProgram.h"

#include <memory>
#include <optional>

class TCConnexion;
class TfWrkGraphics;

class HostedMainWindow : public TestProgram, public PickerDriver {
public:
    HostedMainWindow();
    ~HostedMainWindow();

    /// Makes `connexion`, the test's, the program's connection (gConnexion); the program's
    /// own comes back before the window and the process objects go, which free it.
    void useConnexion(TCConnexion *connexion);

    /// Hosts a picker of class `Picker` (as its category button does) and returns it.
    template <class Picker> Picker *host()
    {
        window()->ShowPicker(&Picker::staticMetaObject);
        return hosted<Picker>();
    }
    /// The picker hosted now, if it is a `Picker`.
    template <class Picker = QWidget> Picker *hosted() const
    {
        return window()->panelHost->findChild<Picker *>(QString(), Qt::FindDirectChildrenOnly);
    }

private:
    std::unique_ptr<TfWrkGraphics> FGraphics;
    std::optional<TCConnexion *> FProgramConnexion;
};
