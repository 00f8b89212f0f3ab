// The start-up sequence of the main window: parameters, connection with retries,
// practice options and reference data, the target and its document, the variables
// file, and the folded or unfolded window. Runs once, from the start timer, while the
// window is already painted; the status panel tells what is going on.
#include "Scrivo.h"

#include "CBinaryFile.h"
#include "CTraitementTexte.h"
#include "CommandLine.h"
#include "CodeInsertion.h"
#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "pickers/CouCodeRecherche.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

const QString ParamFileUnreachable = QStringLiteral(
    "Impossible d'accéder au fichier central de paramértage.\r\nVérifiez vos connexions réseau.");
const QString ParamsIncomplete = QStringLiteral(
    "Les paramètres d'accès à la base de données ne sont pas complet.\r\nVoyez votre administrateur ou utiliser "
    "l'outil de configuration des postes clients Talvor (TalvorCliConfig)");
const QString RetryConnection = QStringLiteral(
    "Impossible de se connecter à la base de donnée.\r\nVérifiez que le serveur et votre réseau sont bien en "
    "service\r\nou vérifiez vos paramètres de connexions.\r\n\r\nVoulez-vous retentez la connexion ?");

bool StartsWithText(const QString &text, const QString &prefix)
{
    return StringManager->Lower(StringManager->Left(text, int(prefix.size()))) == prefix;
}

} // namespace

void TfScrivo::StartUp()
{
    FTargetSeen = false;
    FVariables = std::make_unique<QStringList>();
    AppNames->ApplicationName = QStringLiteral("Vovoziviv Udedezuv");

    if (!LoadParameters() || !ConnectToDatabase() || !LoadReferenceData())
        return;
    OpenTarget();
    LoadVariables();

    SetStatus(QStringLiteral("Connexion établie."));
    panelCnx->hide();
    repaint();
    ChooseFoldState();
    // No category asked for: the search over all of them.
    if (panelHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
        ShowPicker(&TfCouCodeRecherche::staticMetaObject);
}

bool TfScrivo::LoadParameters()
{
    SetStatus(QStringLiteral("Chargement des paramètres ..."));
    panelCnx->show();
    panelCnx->repaint();

    TCCnxParam *params = gConnexion ? gConnexion->Params() : nullptr;
    if (!params) {
        // The registry could not be read when the program started; that was told then.
        EndProgram();
        return false;
    }
    try {
        params->LoadParams(false);
    } catch (const EScrivoError &error) {
        // Without the "Cnx" key nothing can be reached: say why and end.
        MsgBox(this, error.Message(), QStringLiteral("*APP*"), mfOk);
        EndProgram();
        return false;
    }
    if (params->TerminationRequested)
        return false;

    SetStatus(QStringLiteral("Analyse des paramètres ..."));
    repaint();
    if (!params->ParamFileAvailable()) {
        MsgBox(this, ParamFileUnreachable, QStringLiteral("*APP*"), mfOk);
        EndProgram();
        return false;
    }
    if (!params->CheckParams()) {
        MsgBox(this, ParamsIncomplete, QStringLiteral("*APP*"), mfOk);
        EndProgram();
        return false;
    }
    return true;
}

bool TfScrivo::ConnectToDatabase()
{
    for (;;) {
        SetStatus(QStringLiteral("Connexion en cours ..."));
        repaint();
        try {
            gConnexion->SetupConnection();
            gConnexion->Connect(true);
        } catch (const std::exception &) {
            repaint(); // goes on as not connected
        }
        if (gConnexion->Connected())
            return true;
        if (MsgBox(this, RetryConnection, QStringLiteral("*APP*"), mfYesNo | mfDefault1 | mfWarning) != idYes)
            break;
    }
    EndProgram();
    return false;
}

bool TfScrivo::LoadReferenceData()
{
    if (GlobaleOption) {
        GlobaleOption->Charger();
        // Without a default doctor group the program is ending: open no document.
        if (GlobaleOption->TerminationRequested)
            return false;
    }
    gMedecins = new TCMedecins(gConnexion);
    gReferences = new TCReferences(gConnexion);
    return true;
}

void TfScrivo::OpenTarget()
{
    FFirstArgument = PositionalArguments(FArguments).value(1);
    const TInsertionTarget named(FFirstArgument);
    if (StartsWithText(FFirstArgument, QStringLiteral("-app=")) || named.Kind != TInsertionTarget::TKind::Title) {
        FTarget = named;
        return;
    }
    // Without a document there is nothing to open: the word processor would only show
    // an empty document, or the current folder, and the window targets nothing.
    if (FFirstArgument.isEmpty()) {
        FTarget = TInsertionTarget();
        return;
    }
    TCTraitementTexte launcher(LocaleOption);
    const QString variant = GetParamValue(RawCommandLine(OptionsLast(FArguments)), QStringLiteral("wp"), QString(),
                                          QStringLiteral(":"), QStringLiteral(" -"));
    if (variant == QLatin1String("modele"))
        launcher.OpenTemplate(FFirstArgument);
    else if (variant == QLatin1String("ordo"))
        launcher.OpenPrescription(FFirstArgument);
    else
        launcher.OpenDocument(FFirstArgument);
    FTarget = QFileInfo(FFirstArgument).fileName();
    FTarget.StartedProcess = launcher.StartedProcess();
}

void TfScrivo::LoadVariables()
{
    try {
        const QString commandLine = RawCommandLine(OptionsLast(FArguments));
        if (!HasParam(commandLine, QStringLiteral("pf"), QStringLiteral(" -"), QStringLiteral("=")))
            return;
        QString path = GetParamValue(commandLine, QStringLiteral("pf"), QString(), QStringLiteral("="),
                                     QStringLiteral(" -"));
        if (path.startsWith(u'"'))
            path.remove(0, 1);
        if (path.endsWith(u'"'))
            path.chop(1);
        if (path.isEmpty())
            return;
        if (!QFileInfo(path).isFile())
            throw EScrivoError(QStringLiteral("Le fichier de variables <") + path + QStringLiteral("> est introuvable."));
        // A list of names: millions of lines are not one, and would take gigabytes as a
        // list. Each line break ends a line: they are counted before the text is split.
        constexpr qsizetype MaxVariables = 10000;
        const QString text = ReadTextFile(path);
        const bool tooManyBreaks = std::max(text.count(u'\n'), text.count(u'\r')) > MaxVariables;
        const QStringList lines = tooManyBreaks ? QStringList() : TextLines(text);
        if (tooManyBreaks || lines.size() > MaxVariables)
            throw EScrivoError(QStringLiteral("Le fichier de variables <") + path + QStringLiteral("> compte plus de ")
                               + QString::number(MaxVariables) + QStringLiteral(" lignes : il est ignoré."));
        *FVariables = lines;
        bVariable->show();
    } catch (const std::exception &error) {
        const QString reason = dynamic_cast<const EScrivoError *>(&error)
                                   ? static_cast<const EScrivoError &>(error).Message()
                                   : QString::fromUtf8(error.what());
        MsgBox(this, QStringLiteral("Erreur lors traitement fichier paramètres :\r\n") + reason,
               QStringLiteral("*APP*"), mfOk);
    }
}

void TfScrivo::ChooseFoldState()
{
    FQuestionnaireId = 0;
    if (FArguments.size() - 1 < 2) {
        FoldWindow();
        return;
    }
    const QString second = PositionalArguments(FArguments).value(2);
    if (StartsWithText(second, QStringLiteral("-qre="))) {
        FQuestionnaireId = StrToIntDef(StringManager->After(QStringLiteral("="), second), 0);
        bQuestionnaireClick(); // hosts the questionnaire picker
    }
}
