#include "CouCodePmsi.h"

#include "support/Anchors.h"
#include "support/LumoUrl.h"
#include "support/WinTools.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

namespace {

const QString FieldItems[] = {
    QStringLiteral("nom"),         QStringLiteral("prénom"),      QStringLiteral("date naissance"),
    QStringLiteral("sexe"),        QStringLiteral("poids"),       QStringLiteral("rang"),
    QStringLiteral("nb scéance"),  QStringLiteral("premiere"),    QStringLiteral("igs2"),
    QStringLiteral("no ss"),       QStringLiteral("date entrée"), QStringLiteral("date sortie"),
    QStringLiteral("mode entrée"), QStringLiteral("mode sortie"), QStringLiteral("provenance"),
    QStringLiteral("destination"),
};

const QString ModeHint = QStringLiteral(
    "seuls les sections texte avant/après seront insérés\r\n"
    "(mais le code lui même ne retourne rien)\r\n"
    "Ex : £PMO:muet#£[PMD:O00.2]développement d'une grossesse ovarienne#\r\n"
    "Le code ne retournera rien, mais si la fiche de la patiente contient le diagnostique\r\n"
    "O00.2, le \"texte après\" sera inséré");
const QString ActsHint = QStringLiteral(
    "£PMA:tous# : Insère tous les actes \r\n\r\nAussi : \r\n"
    "£PMA:GLLP002# : insérera la donnée que si cet acte est présent dans la fiche\r\n");
const QString DiagnosesHint = QStringLiteral(
    "£PMD:tous# : Insère tous les diagnostiques\r\n\r\nAussi : \r\n"
    "£PMD:Z37.0# : insérera la donnée que si ce diagnostique est présent dans la fiche\r\n");
const QString SecondaryHint = QStringLiteral(
    "Insère tous les diagnostiques secondaires\r\n\r\nAussi : \r\n"
    "£PMD:Z37.0# : insérera la donnée que si ce diagnostique est présent dans la fiche\r\n");

} // namespace

TfCouCodePmsi::TfCouCodePmsi(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Pmsi"), QSize(428, 288))
{
    lstChamps = new QListWidget(this);
    lstChamps->setObjectName(QStringLiteral("lstChamps"));
    lstChamps->setGeometry(5, 2, 416, 154);
    lstChamps->setAccessibleName(QStringLiteral("Champs Pmsi"));
    for (const QString &item : FieldItems)
        lstChamps->addItem(item);
    // Keyboard users start on an entry; a press beside the entries unselects it, so a
    // double click there still inserts nothing.
    lstChamps->setCurrentRow(0);
    SetAnchors(lstChamps, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge);
    OnItemChosen(lstChamps, [this] { lstChampsDblClick(); });

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral(" Options "), QRect(5, 160, 421, 126));
    SetAnchors(GroupBox1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    Label1 = AddOptionLabel(GroupBox1, "Label1", QStringLiteral("Onglet : "), 10, 22);
    Label2 = AddOptionLabel(GroupBox1, "Label2", QStringLiteral("Alignement : "), 130, 22);
    Label3 = AddOptionLabel(GroupBox1, "Label3", QStringLiteral("Mode : "), 280, 22);
    Label4 = AddOptionLabel(GroupBox1, "Label4", QStringLiteral("Actes : "), 130, 83);
    Label5 = AddOptionLabel(GroupBox1, "Label5", QStringLiteral("Diagnostique : "), 130, 100);

    const auto tabHint = [](const QString &tab) {
        return QStringLiteral("Les champs feront référence à l'onglet \"%1\"").arg(tab);
    };
    urlOnglet0 = AddOptionLink(GroupBox1, "urlOnglet0", QStringLiteral("patiente"), tabHint(QStringLiteral("Patiente")),
                               52, 20, 44, &TfCouCodePmsi::urlOnglet0Click);
    urlOnglet1 = AddOptionLink(GroupBox1, "urlOnglet1", QStringLiteral("enfant n°1"), tabHint(QStringLiteral("Enfant 1")),
                               52, 40, 59, &TfCouCodePmsi::urlOnglet0Click, 1);
    urlOnglet2 = AddOptionLink(GroupBox1, "urlOnglet2", QStringLiteral("enfant n°2"), tabHint(QStringLiteral("Enfant 2")),
                               52, 60, 59, &TfCouCodePmsi::urlOnglet0Click, 2);
    urlOnglet3 = AddOptionLink(GroupBox1, "urlOnglet3", QStringLiteral("enfant n°3"), tabHint(QStringLiteral("Enfant 3")),
                               52, 80, 59, &TfCouCodePmsi::urlOnglet0Click, 3);
    urlColonne = AddOptionLink(
        GroupBox1, "urlColonne", QStringLiteral("colonne"),
        QStringLiteral("Les Actes et Diagnostiques seront séparés par une marque de paragraphe ou un saut de ligne"),
        207, 20, 44, &TfCouCodePmsi::urlColonneClick);
    urlLigne = AddOptionLink(GroupBox1, "urlLigne", QStringLiteral("ligne"),
                             QStringLiteral("Les Actes et Diagnostiques seront séparés par un point-virgule"),
                             207, 40, 29, &TfCouCodePmsi::urlLigneClick);
    urlMode0 = AddOptionLink(GroupBox1, "urlMode0", QStringLiteral("complet"), QStringLiteral("insère codes et libellés"),
                             322, 20, 44, &TfCouCodePmsi::urlMode0Click);
    urlMode1 = AddOptionLink(GroupBox1, "urlMode1", QStringLiteral("code"), QStringLiteral("insère les codes seuls"),
                             322, 40, 44, &TfCouCodePmsi::urlMode0Click, 1);
    urlMode2 = AddOptionLink(GroupBox1, "urlMode2", QStringLiteral("libellé"), QStringLiteral("insère les libellés seuls"),
                             372, 40, 34, &TfCouCodePmsi::urlMode0Click, 2);
    urlMode3 = AddOptionLink(GroupBox1, "urlMode3", QStringLiteral("muet"), ModeHint, 372, 20, 44,
                             &TfCouCodePmsi::urlMode0Click, 3);
    urlPMA = AddOptionLink(GroupBox1, "urlPMA", QStringLiteral("tous"), ActsHint, 207, 80, 29, &TfCouCodePmsi::urlPMAClick);
    urlPMD = AddOptionLink(GroupBox1, "urlPMD", QStringLiteral("tous"), DiagnosesHint, 207, 98, 29,
                           &TfCouCodePmsi::urlPMDClick);
    urlDiag1 = AddOptionLink(GroupBox1, "urlDiag1", QStringLiteral("principal"), QStringLiteral("Insère le diagnostique principal"),
                             237, 98, 49, &TfCouCodePmsi::urlPMDClick, 1);
    urlPMD2 = AddOptionLink(GroupBox1, "urlPMD2", QStringLiteral("secondaires"), SecondaryHint, 287, 98, 64,
                            &TfCouCodePmsi::urlPMDClick, 2);
    ListAfterLabel(Label1, {urlOnglet0, urlOnglet1, urlOnglet2, urlOnglet3});
    ListAfterLabel(Label2, {urlColonne, urlLigne});
    ListAfterLabel(Label3, {urlMode0, urlMode1, urlMode2, urlMode3});
    ListAfterLabel(Label4, {urlPMA});
    ListAfterLabel(Label5, {urlPMD, urlDiag1, urlPMD2});
}

void TfCouCodePmsi::InsertText(const QString &text)
{
    try {
        Insert(text);
    } catch (const std::exception &error) {
        // Never let an error cross the Qt event handler that called us.
        MsgBox(this, QString::fromUtf8(error.what()), QStringLiteral("*APP*"), mfOk | mfError);
    }
}

void TfCouCodePmsi::lstChampsDblClick()
{
    const QListWidgetItem *item = lstChamps->currentItem();
    if (!item || !item->isSelected())
        return;
    QString field = item->text();
    field.replace(u' ', u'_');
    field.replace(u'é', u'e');
    InsertText(QStringLiteral("PMC:") + field);
}

void TfCouCodePmsi::urlOnglet0Click(TLumoUrl *sender)
{
    InsertText(QStringLiteral("PMO:") + QString::number(sender->Tag));
}

void TfCouCodePmsi::urlColonneClick(TLumoUrl *)
{
    InsertText(QStringLiteral("PMO:colonne"));
}

void TfCouCodePmsi::urlLigneClick(TLumoUrl *)
{
    InsertText(QStringLiteral("PMO:ligne"));
}

void TfCouCodePmsi::urlMode0Click(TLumoUrl *sender)
{
    static const QString Modes[] = {QStringLiteral("complet"), QStringLiteral("code"), QStringLiteral("libelle"),
                                    QStringLiteral("muet")};
    if (sender->Tag >= 0 && sender->Tag < int(std::size(Modes)))
        InsertText(QStringLiteral("PMO:") + Modes[sender->Tag]);
}

void TfCouCodePmsi::urlPMAClick(TLumoUrl *)
{
    InsertText(QStringLiteral("PMA:tous"));
}

void TfCouCodePmsi::urlPMDClick(TLumoUrl *sender)
{
    static const QString Diagnoses[] = {QStringLiteral("PMD:tous"), QStringLiteral("PMD:principal"),
                                        QStringLiteral("PMD:secondaires")};
    if (sender->Tag >= 0 && sender->Tag < int(std::size(Diagnoses)))
        InsertText(Diagnoses[sender->Tag]);
}
