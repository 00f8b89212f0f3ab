#include "CTraitementTexte.h"

#include "Scrivo.h"
#include "config/COption.h"
#include "platform/Shell.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QDir>

TCTraitementTexte::TCTraitementTexte(TCLocaleOption *options)
    : FOptions(options)
{
}

void TCTraitementTexte::OpenDocument(const QString &path)
{
    Launch(Variant::Default, path);
}

void TCTraitementTexte::OpenTemplate(const QString &path)
{
    Launch(Variant::Template, path);
}

void TCTraitementTexte::OpenPrescription(const QString &path)
{
    Launch(Variant::Prescription, path);
}

QString TCTraitementTexte::ProgramOf(Variant variant)
{
    if (!FOptions)
        return QString();
    try {
        if (variant == Variant::Template && FOptions->WPAutreModele())
            return FOptions->WPModelePath();
        if (variant == Variant::Prescription && FOptions->WPAutreOrdo())
            return FOptions->WPOrdoPath();
        return FOptions->WPPath();
    } catch (const EScrivoError &error) {
        // The document still opens, with what the desktop offers for it.
        MsgBox(fScrivo,
               QStringLiteral("Les options du traitement de texte de ce poste n'ont pu être lues :\r\n") + error.Message()
                   + QStringLiteral("\r\nLe document est ouvert avec l'application par défaut."),
               QStringLiteral("*APP*"), mfOk);
        return QString();
    }
}

void TCTraitementTexte::Launch(Variant variant, const QString &documentPath)
{
    // A relative path that begins with "-" would reach the program as one of its options.
    const QString path = documentPath.startsWith(u'-') ? QDir::toNativeSeparators(QStringLiteral("./") + documentPath)
                                                       : documentPath;
    const QString program = ProgramOf(variant);
    if (program.isEmpty()) {
        if (!platform::openWithDefaultApplication(path.toStdString()))
            MsgBox(fScrivo,
                   QStringLiteral("Impossible d'ouvrir le document <") + path
                       + QStringLiteral("> :\r\naucune application par défaut n'a pu être lancée (xdg-open)."),
                   QStringLiteral("*APP*"), mfOk);
        return;
    }
    // The document is the program's one argument, blanks and all.
    if (!platform::startDetached(program.toStdString(), {path.toStdString()}, &FStartedProcess))
        MsgBox(fScrivo,
               QStringLiteral("Impossible de lancer le traitement de texte <") + program
                   + QStringLiteral(">\r\npour ouvrir le document <") + path
                   + QStringLiteral(">.\r\nVérifiez le chemin du traitement de texte dans les options du poste."),
               QStringLiteral("*APP*"), mfOk);
}
