#include "CouCodeAntecedent.h"

#include "data/CAntecedent.h"
#include "support/Anchors.h"
#include "support/ErrorMessageBox.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "support/StrMan.h"
#include "support/WrkGraphics.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QShowEvent>

#include <algorithm>

namespace {

// Each list entry carries its category: key and label.
constexpr int CodeRole = Qt::UserRole;
constexpr int LibelleRole = Qt::UserRole + 1;

} // namespace

TfCouCodeAntecedent::TfCouCodeAntecedent(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Antécédents"), QSize(396, 320))
{
    lstATCD = new QListWidget(this);
    lstATCD->setObjectName(QStringLiteral("lstATCD"));
    lstATCD->setGeometry(4, 4, 385, 157);
    lstATCD->setAccessibleName(QStringLiteral("Catégories d'antécédents"));
    lstATCD->setUniformItemSizes(true);
    SetAnchors(lstATCD, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    OnItemChosen(lstATCD, [this] { lstATCDDblClick(); });

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral(" Options "), QRect(4, 165, 389, 152));
    SetAnchors(GroupBox1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    Label1 = AddOptionLabel(GroupBox1, "Label1", QStringLiteral("Nom ATCD : "), 8, 20);
    Label2 = AddOptionLabel(GroupBox1, "Label2", QStringLiteral("Retour : "), 8, 40);
    Label3 = AddOptionLabel(GroupBox1, "Label3", QStringLiteral("Dates : "), 8, 60);
    Label4 = AddOptionLabel(GroupBox1, "Label4", QStringLiteral("Mode commentaires : "), 8, 84);
    Label5 = AddOptionLabel(GroupBox1, "Label5", QStringLiteral("Tous les antécédents :"), 168, 64);
    // "Allergies" stands in a gap of a horizontal separator.
    Bevel2 = AddBevel("Bevel2", QRect(5, 120, 16, 4));
    Bevel3 = AddBevel("Bevel3", QRect(70, 120, 310, 4));
    SetAnchors(Bevel3, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    Label6 = AddOptionLabel(GroupBox1, "Label6", QStringLiteral("Allergies"), 25, 115);
    Bevel1 = AddBevel("Bevel1", QRect(228, 84, 5, 29));

    const TImageList *images = fWrkGraphics ? &fWrkGraphics->ImagesChk : nullptr;
    auto radio = [&](const char *name, const QString &caption, const QRect &geometry) {
        auto *r = new TLumoRadio(GroupBox1);
        r->setObjectName(QLatin1String(name));
        r->SetupAsRadio(images);
        r->SetCaption(caption);
        r->setGeometry(geometry);
        return r;
    };
    radioATC = radio("radioATC", QStringLiteral("Avec les commentaires (codes en ATC)"), QRect(164, 20, 213, 17));
    radioATD = radio("radioATD", QStringLiteral("Sans les commentaires (codes en ATD)"), QRect(164, 40, 213, 17));
    radioATC->SetValue(true);

    urlNomOui = AddOptionLink(GroupBox1, "urlNomOui", QStringLiteral("oui"), QStringLiteral("Le nom (ou libellé) de l'ATCD sera inséré"),
                              76, 16, 21, &TfCouCodeAntecedent::urlNomOuiClick);
    urlNomNon = AddOptionLink(GroupBox1, "urlNomNon", QStringLiteral("non"),
                              QStringLiteral("Le nom (ou libellé) de l'ATCD ne sera pas inséré"), 108, 16, 21,
                              &TfCouCodeAntecedent::urlNomNonClick);
    urlRetourOui = AddOptionLink(GroupBox1, "urlRetourOui", QStringLiteral("oui"), QStringLiteral("L'ATCD sera suivi d'un retour"),
                                 76, 36, 21, &TfCouCodeAntecedent::urlRetourOuiClick);
    urlRetourNon = AddOptionLink(GroupBox1, "urlRetourNon", QStringLiteral("non"),
                                 QStringLiteral("L'ATCD ne sera pas suivi d'un retour"), 108, 36, 21,
                                 &TfCouCodeAntecedent::urlRetourNonClick);
    urlDateOui = AddOptionLink(GroupBox1, "urlDateOui", QStringLiteral("oui"),
                               QStringLiteral("Les dates seront insérées avec les ATCD et les commentaires"), 76, 56, 21,
                               &TfCouCodeAntecedent::urlDateOuiClick);
    urlDateNon = AddOptionLink(GroupBox1, "urlDateNon", QStringLiteral("non"),
                               QStringLiteral("Les dates ne seront pas insérées avec les ATCD et les commentaires"), 108,
                               56, 21, &TfCouCodeAntecedent::urlDateNonClick);
    // The comment modes stand right of their label, whatever its width in the font used.
    const int modeLeft = std::max(112, Label4->geometry().right() + 4);
    urlColonne = AddOptionLink(
        GroupBox1, "urlColonne", QStringLiteral("colonne"),
        QStringLiteral("Les commentaires seront inséré les uns sous les autres (avec un retour à la ligne entre chaque)"),
        modeLeft, 80, 49, &TfCouCodeAntecedent::urlColonneClick);
    urlLigne = AddOptionLink(
        GroupBox1, "urlLigne", QStringLiteral("ligne"),
        QStringLiteral("Les commentaires seront inséré les uns à la suite des autres (sur une même ligne)"), modeLeft,
        100, 49, &TfCouCodeAntecedent::urlLigneClick);
    urlTousAvec = AddOptionLink(GroupBox1, "urlTousAvec", QStringLiteral("avec commentaires"), QStringLiteral("Insére le code £ATTC#"),
                                240, 80, 101, &TfCouCodeAntecedent::urlTousAvecClick);
    urlTousSans = AddOptionLink(GroupBox1, "urlTousSans", QStringLiteral("sans commentaires"), QStringLiteral("Insére le code £ATTT#"),
                                240, 96, 101, &TfCouCodeAntecedent::urlTousSansClick);
    urlAllergiesCommentaires = AddOptionLink(GroupBox1, "urlAllergiesCommentaires", QStringLiteral("avec commentaires"),
                                             QStringLiteral("Insére le code £AAC#"), 85, 128, 101,
                                             &TfCouCodeAntecedent::urlAllergiesCommentairesClick);
    urlAllergiesSans = AddOptionLink(GroupBox1, "urlAllergiesSans", QStringLiteral("sans commentaires"),
                                     QStringLiteral("Insére le code £AA#"), 240, 128, 101,
                                     &TfCouCodeAntecedent::urlAllergiesSansClick);
    ListAfterLabel(Label1, {urlNomOui, urlNomNon});
    ListAfterLabel(Label2, {urlRetourOui, urlRetourNon});
    ListAfterLabel(Label3, {urlDateOui, urlDateNon});
    ListAfterLabel(Label4, {urlColonne, urlLigne});
    ListAfterLabel(Label5, {urlTousAvec, urlTousSans});
    ListAfterLabel(Label6, {urlAllergiesCommentaires, urlAllergiesSans});
}

QFrame *TfCouCodeAntecedent::AddBevel(const char *name, const QRect &geometry)
{
    auto *bevel = new QFrame(GroupBox1);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

void TfCouCodeAntecedent::showEvent(QShowEvent *event)
{
    TfPickerForm::showEvent(event);
    // Spontaneous shows (the main window unfolded or restored) change nothing.
    if (!event->spontaneous())
        RunGuarded(QStringLiteral("TfCouCodeAntecedent.FormShow"), [this] { FormShow(); });
}

void TfCouCodeAntecedent::FormShow()
{
    if (!gAntecedents)
        gAntecedents = new TCAntecedents;
    // A list that loaded nothing (empty table, read error) is tried again at each showing.
    if (gAntecedents->Count() == 0)
        gAntecedents->Charger();
    // Filled anew at each showing, so that the entries never repeat.
    lstATCD->clear();
    for (const auto &antecedent : gAntecedents->Items()) {
        auto *item = new QListWidgetItem(antecedent->libelle, lstATCD);
        item->setData(CodeRole, antecedent->code_antecedent);
        item->setData(LibelleRole, antecedent->libelle);
    }
}

void TfCouCodeAntecedent::ListCodes(TCodeEntries &codes)
{
    RunGuarded(QStringLiteral("TfCouCodeAntecedent.FormShow"), [this] { FormShow(); });
    TfPickerForm::ListCodes(codes);
}

void TfCouCodeAntecedent::lstATCDDblClick()
{
    const QListWidgetItem *item = lstATCD->currentItem();
    if (!item || !item->isSelected())
        return;
    // The comment after the bullet never enters the code.
    const QString label = StringManager->TrimBlank(
        StringManager->Before(QStringLiteral("•"), item->data(LibelleRole).toString()));
    const QString letters = radioATC->Value() ? QStringLiteral("ATC") : QStringLiteral("ATD");
    InsertText(u'[' + letters + QString::number(item->data(CodeRole).toInt()) + QStringLiteral(" : ") + label + u']');
}

void TfCouCodeAntecedent::InsertText(const QString &text)
{
    RunGuarded(QStringLiteral("TfCouCodeAntecedent.InsertCode"), [&] { Insert(text); });
}

void TfCouCodeAntecedent::urlNomOuiClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: nom oui")); }
void TfCouCodeAntecedent::urlNomNonClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: nom non")); }
void TfCouCodeAntecedent::urlRetourOuiClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: retour oui")); }
void TfCouCodeAntecedent::urlRetourNonClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: retour non")); }
void TfCouCodeAntecedent::urlDateOuiClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: date oui")); }
void TfCouCodeAntecedent::urlDateNonClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: date non")); }
void TfCouCodeAntecedent::urlColonneClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: mode colonne")); }
void TfCouCodeAntecedent::urlLigneClick(TLumoUrl *) { InsertText(QStringLiteral("ATO: mode ligne")); }
void TfCouCodeAntecedent::urlTousAvecClick(TLumoUrl *) { InsertText(QStringLiteral("ATTC")); }
void TfCouCodeAntecedent::urlTousSansClick(TLumoUrl *) { InsertText(QStringLiteral("ATTT")); }
void TfCouCodeAntecedent::urlAllergiesCommentairesClick(TLumoUrl *) { InsertText(QStringLiteral("AAC")); }
void TfCouCodeAntecedent::urlAllergiesSansClick(TLumoUrl *) { InsertText(QStringLiteral("AA")); }
