#include "LinkCodes.h"

#include "support/StrMan.h"

QString LinkCodes::FromCaption(const QString &caption)
{
    QString code = StringManager->After(QStringLiteral("£"), caption);
    for (QChar &c : code)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return u'£' + code;
}
