#include "InsertionTarget.h"

#include "support/StrMan.h"
#include "support/WinTools.h"

TInsertionTarget::TInsertionTarget(const QString &descriptor) : Descriptor(descriptor), Title(descriptor)
{
    const QString value = StringManager->After(QStringLiteral("="), descriptor);
    if (StringManager->Lower(StringManager->Left(descriptor, 6)) == QLatin1String("-hwnd=")) {
        Title.clear();
        Kind = IsInteger(value) ? TKind::Handle : TKind::BadHandle;
        // The number is a 32-bit handle as Windows passes it (negative ones included).
        if (Kind == TKind::Handle)
            Handle = static_cast<std::uint32_t>(StrToIntDef(value, 0));
    } else if (StringManager->Lower(StringManager->Left(descriptor, 5)) == QLatin1String("-app=")) {
        Title = value;
    }
}
