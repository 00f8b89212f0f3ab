#include "CouCodeOrdo.h"

#include <QGroupBox>

namespace {
const QString AllLines = QStringLiteral("Insère toutes les prescriptions");
const QString AldLines = QStringLiteral("Insère les prescriptions ALD");
const QString NonAldLines = QStringLiteral("Insère les prescriptions non ALD");
} // namespace

TfCouCodeOrdo::TfCouCodeOrdo(TPickerHost *host)
    : TfLinkPickerForm(host, QStringLiteral("Codes Ordonnance"), QSize(434, 268))
{
    GroupBox4 = AddGroupBox("GroupBox4", QStringLiteral("Lignes de prescriptions"), QRect(8, 8, 203, 128));
    urlO1 = AddCaptionCodeLink(GroupBox4, "urlO1", QStringLiteral("Insérer £Ord : tout#"), AllLines, 16);
    urlO2 = AddCaptionCodeLink(GroupBox4, "urlO2", QStringLiteral("Insérer £Ord : ald#"), AldLines, 36);
    urlO3 = AddCaptionCodeLink(GroupBox4, "urlO3", QStringLiteral("Insérer £Ord : non ald#"), NonAldLines, 56);
    urlO6 = AddCaptionCodeLink(GroupBox4, "urlO6", QStringLiteral("Insérer £Ord : nblignes#"), NonAldLines, 96);

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral("Autres informations de l'ordonnance"), QRect(217, 8, 209, 128));
    urlO4 = AddCaptionCodeLink(GroupBox1, "urlO4", QStringLiteral("Insérer £Ord : date#"), NonAldLines, 24);
    urlO5 = AddCaptionCodeLink(GroupBox1, "urlO5", QStringLiteral("Insérer £Ord : note#"), NonAldLines, 47);
    urlO7 = AddCaptionCodeLink(GroupBox1, "urlO7", QStringLiteral("Insérer £Ord : excipient#"), NonAldLines, 70);
    urlO8 = AddCaptionCodeLink(GroupBox1, "urlO8", QStringLiteral("Insérer £Ord : renouveler#"), NonAldLines, 93);

    GroupBox2 = AddGroupBox("GroupBox2", QStringLiteral(" Divers "), QRect(8, 159, 203, 82));
    AddGeneralLinks(GroupBox2);

    GroupBox5 = AddGroupBox("GroupBox5", QStringLiteral(" Rappel d'ordonnance dans un courrier "), QRect(217, 160, 209, 81));
    urlDDO = AddCaptionCodeLink(GroupBox5, "urlDDO", QStringLiteral("Insérer £DDO#"), QStringLiteral("Rapelle la dernière Ordonnance"), 28);
    urlDCO = AddCaptionCodeLink(GroupBox5, "urlDCO", QStringLiteral("Insérer £DCO#"), QStringLiteral("Rapelle une ordonnance à choisir"), 52);

    labelVersion = AddVersionLabel(5, 255);
    FitGroupBoxesIntoFrames();
}
