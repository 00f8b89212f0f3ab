#include "CouCodeMedecin.h"

#include "support/Anchors.h"
#include "support/LumoRadio.h"
#include "support/WrkGraphics.h"

#include <QFrame>
#include <QGroupBox>
#include <QListWidget>

TfCouCodeMedecin::TfCouCodeMedecin(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Médecins/Utilisateurs"), QSize(400, 281))
{
    lstCodes = new QListWidget(this);
    lstCodes->setObjectName(QStringLiteral("lstCodes"));
    lstCodes->setGeometry(4, 4, 393, 201);
    lstCodes->setAccessibleName(QStringLiteral("Champs du médecin ou de l'utilisateur"));
    lstCodes->setUniformItemSizes(true);
    SetAnchors(lstCodes, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    OnItemChosen(lstCodes, [this] { lstCodesDblClick(); });

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral(" Options "), QRect(0, 212, 400, 69));
    SetAnchors(GroupBox1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    const TImageList *images = fWrkGraphics ? &fWrkGraphics->ImagesChk : nullptr;
    auto radio = [&](const char *name, const QString &caption, const QRect &geometry) {
        auto *r = new TLumoRadio(GroupBox1);
        r->setObjectName(QLatin1String(name));
        r->SetupAsRadio(images);
        // These two radios show an empty ring while unchecked.
        r->SetImgUnChecked(1);
        r->SetImgMoveUnChecked(1);
        r->SetCaption(caption);
        r->setGeometry(geometry);
        return r;
    };
    radioMedecin = radio("radioMedecin", QStringLiteral("Retourner les données du Médecin courant"), QRect(24, 20, 297, 17));
    radioUser = radio("radioUser", QStringLiteral("Retourner les données de l'utilisateur courant"), QRect(24, 40, 277, 17));
    radioMedecin->SetValue(true);

    Bevel1 = new QFrame(GroupBox1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(12, 20, 5, 37);

    FormCreate();
}

void TfCouCodeMedecin::FormCreate()
{
    lstCodes->addItems({"code medecin", "nom", "prenom", "titre", "titre suite", "initiales", "adresse",
                        "code postal", "ville", "telephone 1", "telephone 2", "telephone 3", "telephone 4",
                        "telephone ( )", "info pers 1", "info pers 2", "info pers 3", "info pers 4"});
}

void TfCouCodeMedecin::lstCodesDblClick()
{
    const QListWidgetItem *item = lstCodes->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString letters = radioMedecin->Value() ? QStringLiteral("MR") : QStringLiteral("MU");
    Insert(u'[' + letters + QStringLiteral(" : ") + item->text() + u']');
}
