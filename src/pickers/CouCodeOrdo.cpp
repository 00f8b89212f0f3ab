#include "CouCodeOrdo.h"

#include "LinkCodes.h"
#include "support/LumoUrl.h"

#include <QGroupBox>

namespace {
const QString AllLines = QStringLiteral("Insère toutes les prescriptions");
const QString AldLines = QStringLiteral("Insère les prescriptions ALD");
const QString NonAldLines = QStringLiteral("Insère les prescriptions non ALD");
} // namespace

TfCouCodeOrdo::TfCouCodeOrdo(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Ordonnance"), QSize(434, 268))
{
    const auto fromCaption = [this](TLumoUrl *link) { urlO1Click(link); };
    auto link = [&](QWidget *box, const char *name, const QString &caption, const QString &hint, int top) {
        return AddLink(box, name, caption, hint, QRect(8, top, 150, 17), fromCaption);
    };

    GroupBox4 = AddGroupBox("GroupBox4", QStringLiteral("Lignes de prescriptions"), QRect(8, 8, 203, 128));
    urlO1 = link(GroupBox4, "urlO1", QStringLiteral("Insérer £Ord : tout#"), AllLines, 16);
    urlO2 = link(GroupBox4, "urlO2", QStringLiteral("Insérer £Ord : ald#"), AldLines, 36);
    urlO3 = link(GroupBox4, "urlO3", QStringLiteral("Insérer £Ord : non ald#"), NonAldLines, 56);
    urlO6 = link(GroupBox4, "urlO6", QStringLiteral("Insérer £Ord : nblignes#"), NonAldLines, 96);

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral("Autres informations de l'ordonnance"), QRect(217, 8, 209, 128));
    urlO4 = link(GroupBox1, "urlO4", QStringLiteral("Insérer £Ord : date#"), NonAldLines, 24);
    urlO5 = link(GroupBox1, "urlO5", QStringLiteral("Insérer £Ord : note#"), NonAldLines, 47);
    urlO7 = link(GroupBox1, "urlO7", QStringLiteral("Insérer £Ord : excipient#"), NonAldLines, 70);
    urlO8 = link(GroupBox1, "urlO8", QStringLiteral("Insérer £Ord : renouveler#"), NonAldLines, 93);

    GroupBox2 = AddGroupBox("GroupBox2", QStringLiteral(" Divers "), QRect(8, 159, 203, 82));
    urlDateJour = AddLink(GroupBox2, "urlDateJour", QStringLiteral("Insérer Date du Jour"), QString(),
                          QRect(8, 14, 150, 17), [this](TLumoUrl *) { urlDateJourClick(); });
    urlMaintenant = AddLink(GroupBox2, "urlMaintenant", QStringLiteral("Insérer Date/heure du Jour"), QString(),
                            QRect(8, 37, 150, 17), [this](TLumoUrl *) { urlMaintenantClick(); });
    urlGlossaire = AddLink(GroupBox2, "urlGlossaire", QStringLiteral("Glossaire"),
                           QStringLiteral("Permet d'insérer un élément de glossaire sur mnémonique"),
                           QRect(8, 60, 165, 17), [this](TLumoUrl *) { urlGlossaireClick(); });

    GroupBox5 = AddGroupBox("GroupBox5", QStringLiteral(" Rappel d'ordonnance dans un courrier "), QRect(217, 160, 209, 81));
    urlDDO = link(GroupBox5, "urlDDO", QStringLiteral("Insérer £DDO#"), QStringLiteral("Rapelle la dernière Ordonnance"), 28);
    urlDCO = link(GroupBox5, "urlDCO", QStringLiteral("Insérer £DCO#"), QStringLiteral("Rapelle une ordonnance à choisir"), 52);

    labelVersion = AddVersionLabel(5, 255);
    FitGroupBoxesIntoFrames();
}

void TfCouCodeOrdo::urlO1Click(TLumoUrl *sender)
{
    Insert(LinkCodes::FromCaption(sender->Caption()));
}

void TfCouCodeOrdo::urlDateJourClick()
{
    Insert(LinkCodes::DateJour);
}

void TfCouCodeOrdo::urlMaintenantClick()
{
    Insert(LinkCodes::Maintenant);
}

void TfCouCodeOrdo::urlGlossaireClick()
{
    Insert(LinkCodes::Glossaire);
}
