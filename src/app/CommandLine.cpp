#include "CommandLine.h"

#include "support/CAppNames.h"

#ifndef _WIN32
#include "platform/linux/RegFileRegistry.h"
#endif

#include <cstring>

bool AsksForUsage(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

namespace {

// As the connection parameters read them: "-v" and "-vv" exactly, anything that begins
// with "-ini"; and "-pf" and "-wp", alone or followed by their separator.
bool IsOption(const QString &argument)
{
    if (argument == QLatin1String("-v") || argument == QLatin1String("-vv"))
        return true;
    const QString lowered = argument.toLower();
    if (lowered.startsWith(QLatin1String("-ini")) || lowered == QLatin1String("-pf") || lowered == QLatin1String("-wp"))
        return true;
    for (const QLatin1String key : {QLatin1String("-pf"), QLatin1String("-wp")})
        if (lowered.size() > key.size() && lowered.startsWith(key) && !lowered.at(key.size()).isLetterOrNumber())
            return true;
    return false;
}

} // namespace

QStringList PositionalArguments(const QStringList &arguments)
{
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i)
        if (i == 0 || !IsOption(arguments.at(i)))
            positional << arguments.at(i);
    return positional;
}

QStringList OptionsLast(const QStringList &arguments)
{
    QStringList options;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (IsOption(arguments.at(i)))
            options << arguments.at(i);
    return PositionalArguments(arguments) + options;
}

QString UsageText()
{
    const QString base = QStringLiteral("Software\\") + TCAppNames().Company + u'\\' + TCAppNames().Family;
#ifdef _WIN32
    const QString registry = QStringLiteral("  HKEY_CURRENT_USER\\") + base + QStringLiteral("\n  HKEY_LOCAL_MACHINE\\")
                             + base + u'\n';
#else
    const std::string company = TCAppNames().Company.toStdString();
    const QString registry =
        QStringLiteral("  ") + QString::fromStdString(platform::RegFileRegistry::defaultUserFile(company))
        + QStringLiteral("\n      racine HKEY_CURRENT_USER (la variable SCRIVO_HKCU_FILE désigne un autre fichier)\n  ")
        + QString::fromStdString(platform::RegFileRegistry::defaultMachineFile(company))
        + QStringLiteral("\n      racine HKEY_LOCAL_MACHINE (la variable SCRIVO_HKLM_FILE désigne un autre fichier)\n")
        + QStringLiteral("  clés sous ") + base + u'\n';
#endif
    return QStringLiteral(
               "Usage : scrivo DOCUMENT [-qre=NUMÉRO] [options]\n"
               "        scrivo -app=TITRE [-qre=NUMÉRO] [options]\n"
               "        scrivo -hwnd=FENÊTRE [-qre=NUMÉRO] [options]\n"
               "\n"
               "Insère les codes de fusion du cabinet dans un modèle de courrier ou d'ordonnance.\n"
               "\n"
               "  DOCUMENT          ouvert avec le traitement de texte du poste ; sa fenêtre reçoit les codes\n"
               "  -app=TITRE        la fenêtre dont le titre contient TITRE reçoit les codes\n"
               "  -hwnd=FENÊTRE     la fenêtre de cet identifiant (en décimal) reçoit les codes\n"
               "  -qre=NUMÉRO       en deuxième argument : ouvre les codes de ce questionnaire\n"
               "  -wp:modele, -wp:ordo\n"
               "                    ouvre le document avec le traitement de texte des modèles ou des ordonnances\n"
               "  -pf=FICHIER       le fichier des variables du modèle (une par ligne)\n"
               "  -ini=FICHIER      le fichier central de paramètres à lire\n"
               "  -v, -vv           montre dans des messages comment les paramètres de connexion sont lus\n"
               "  -h, --help        affiche cette aide\n"
               "\n"
               "Avec moins de deux arguments, la fenêtre démarre repliée.\n"
               "\n"
               "Registre lu (jamais écrit) :\n")
           + registry;
}
