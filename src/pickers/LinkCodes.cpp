#include "LinkCodes.h"

#include "support/StrMan.h"

#include <QGroupBox>

QString LinkCodes::FromCaption(const QString &caption)
{
    QString code = StringManager->After(QStringLiteral("£"), caption);
    for (QChar &c : code)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return u'£' + code;
}

TLumoUrl *TfLinkPickerForm::AddCaptionCodeLink(QWidget *box, const char *name, const QString &caption,
                                               const QString &hint, int top)
{
    return AddHandlerLink(box, name, caption, hint, QRect(8, top, 150, 17), &TfLinkPickerForm::urlO1Click);
}

void TfLinkPickerForm::AddGeneralLinks(QGroupBox *box)
{
    urlDateJour = AddHandlerLink(box, "urlDateJour", QStringLiteral("Insérer Date du Jour"), QString(),
                                 QRect(8, 14, 150, 17), &TfLinkPickerForm::urlDateJourClick);
    urlMaintenant = AddHandlerLink(box, "urlMaintenant", QStringLiteral("Insérer Date/heure du Jour"), QString(),
                                   QRect(8, 37, 150, 17), &TfLinkPickerForm::urlMaintenantClick);
    urlGlossaire = AddHandlerLink(box, "urlGlossaire", QStringLiteral("Glossaire"),
                                  QStringLiteral("Permet d'insérer un élément de glossaire sur mnémonique"),
                                  QRect(8, 60, 165, 17), &TfLinkPickerForm::urlGlossaireClick);
}

void TfLinkPickerForm::urlO1Click(TLumoUrl *sender)
{
    Insert(LinkCodes::FromCaption(sender->Caption()));
}

void TfLinkPickerForm::urlDateJourClick(TLumoUrl *)
{
    Insert(LinkCodes::DateJour);
}

void TfLinkPickerForm::urlMaintenantClick(TLumoUrl *)
{
    Insert(LinkCodes::Maintenant);
}

void TfLinkPickerForm::urlGlossaireClick(TLumoUrl *)
{
    Insert(LinkCodes::Glossaire);
}
