// The raw command line and its keyed parameters: input lines are the arguments (program
// first); the parameters Scrivo reads are looked up in the line rebuilt from them, and
// in the input taken as a raw line itself.
#include "FuzzInput.h"
#include "support/WinTools.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    EnsureStringManager();
    const QStringList arguments = FuzzTexts(data, size);
    const QString lines[] = {RawCommandLine(arguments), arguments.join(QLatin1Char(' '))};
    for (const QString &line : lines)
        for (const char *key : {"hwnd", "app", "qre", "pf", "ini", "wp", "v", ""}) {
            const QString name = QString::fromLatin1(key);
            GetParamValue(line, name, QStringLiteral("défaut"), QStringLiteral("="), QStringLiteral("-"));
            GetParamValue(line, name, QString(), QStringLiteral(":"), QStringLiteral("-"));
            HasParam(line, name, QStringLiteral("-"), QStringLiteral("="));
            HasParam(line, name, QString(), QString());
        }
    return 0;
}
