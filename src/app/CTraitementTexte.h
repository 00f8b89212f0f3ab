// The document launcher: opens the document the host application passed in the
// workstation's word processor, or in the one configured for templates or for
// prescriptions. The programs come from the workstation options; with none configured
// the desktop's default application opens the document. Created for one launch.
#pragma once

#include "platform/Shell.h"

#include <QString>

class TCLocaleOption;

class TCTraitementTexte {
public:
    /// `options` gives the configured programs; null means none is configured.
    explicit TCTraitementTexte(TCLocaleOption *options);

    /// Opens `path` with the default word processor.
    void OpenDocument(const QString &path);
    /// Opens `path` with the templates' word processor when one is chosen, else as
    /// OpenDocument.
    void OpenTemplate(const QString &path);
    /// Opens `path` with the prescriptions' word processor when one is chosen, else as
    /// OpenDocument.
    void OpenPrescription(const QString &path);
    /// The process of the word processor started, when the system told it; else 0.
    platform::ProcessId StartedProcess() const { return FStartedProcess; }

private:
    enum class Variant { Default, Template, Prescription };
    /// The program of `variant`; empty when none is configured or the options cannot be
    /// read (the user is told why).
    QString ProgramOf(Variant variant);
    /// Starts the document in its own process; a launch that fails is told to the user.
    void Launch(Variant variant, const QString &documentPath);

    TCLocaleOption *FOptions;
    platform::ProcessId FStartedProcess = 0;
};
