#include "CouQonRemplacement.h"

#include "data/CQuestion.h"
#include "support/Anchors.h"
#include "support/DesignFont.h"
#include "support/DialogOwner.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {
constexpr int ReplacementColumn = 0;
constexpr int LabelColumn = 1;
// Each row carries the code of its modality.
constexpr int ModaliteRole = Qt::UserRole;

// The answer column shows the modality label, which goes into the result unchanged:
// it offers no editor.
class ReadOnlyColumn : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
};
} // namespace

TfCouQonRemplacement::TfCouQonRemplacement(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("fCouQonRemplacement"));
    StandAboveOwner(this, owner ? owner->window() : nullptr);
    setWindowTitle(QStringLiteral("Aide aux remplacements"));
    setFont(DesignFont());
    resize(516, 346);

    lv = new QTreeWidget(this);
    lv->setObjectName(QStringLiteral("lv"));
    lv->setGeometry(15, 10, 486, 281);
    lv->setHeaderLabels({QStringLiteral("Remplacement"), QStringLiteral("Réponse")});
    lv->setAccessibleName(QStringLiteral("Remplacements des réponses"));
    lv->setColumnWidth(ReplacementColumn, 300);
    lv->setColumnWidth(LabelColumn, 150);
    lv->header()->setStretchLastSection(false);
    lv->setRootIsDecorated(false);
    lv->setSelectionMode(QAbstractItemView::SingleSelection);
    lv->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A click on the selected row edits it; F2 is handled by lvKeyDown.
    lv->setEditTriggers(QAbstractItemView::SelectedClicked);
    lv->setItemDelegateForColumn(LabelColumn, new ReadOnlyColumn(lv));
    lv->installEventFilter(this);
    SetAnchors(lv, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    Label1 = new QLabel(QStringLiteral("[F2] ou clic-long pour entrer en édition"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(20, 300);
    Label1->adjustSize();
    lv->setAccessibleDescription(Label1->text());
    SetAnchors(Label1, Qt::LeftEdge | Qt::BottomEdge);

    chkModeEtendu = new QCheckBox(QStringLiteral("Comparaison Partielle"), this);
    chkModeEtendu->setObjectName(QStringLiteral("chkModeEtendu"));
    chkModeEtendu->setGeometry(20, 320, 261, 17);
    SetAnchors(chkModeEtendu, Qt::LeftEdge | Qt::BottomEdge);

    // Neither button is the default one: Enter does not close the window.
    auto button = [this](const char *name, const QString &caption, int left, void (TfCouQonRemplacement::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 305, 80, 30);
        b->setAutoDefault(false);
        b->setDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    bOk = button("bOk", QStringLiteral("&Ok"), 330, &TfCouQonRemplacement::bOkClick);
    SetAnchors(bOk, Qt::RightEdge | Qt::BottomEdge);
    bCancel = button("bCancel", QStringLiteral("&Annuler"), 425, &TfCouQonRemplacement::bCancelClick);
}

void TfCouQonRemplacement::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfCouQonRemplacement::FormShow()
{
    if (!Question)
        return;
    lv->clear();
    // Masked modalities are listed too: a stored answer may still hold one.
    for (const auto &modalite : Question->Modalites) {
        auto *item = new QTreeWidgetItem(lv, {QString(), modalite->libelle});
        item->setData(ReplacementColumn, ModaliteRole, modalite->code_modalite);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (Question->multiple)
        chkModeEtendu->setChecked(true);
    // The first row starts selected: F2 and the typing that follows edit it at once,
    // rather than the list taking it as current but unselected when it gets the focus.
    if (lv->topLevelItemCount() > 0)
        lv->setCurrentItem(lv->topLevelItem(0));
}

bool TfCouQonRemplacement::lvKeyDown(int key)
{
    if (key != Qt::Key_F2)
        return false;
    QTreeWidgetItem *item = lv->currentItem();
    if (item && item->isSelected())
        lv->editItem(item, ReplacementColumn);
    return true;
}

bool TfCouQonRemplacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lv && event->type() == QEvent::KeyPress && lvKeyDown(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfCouQonRemplacement::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close the window either: only the buttons and the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfCouQonRemplacement::bOkClick()
{
    Resultat.clear();
    for (int row = 0; row < lv->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = lv->topLevelItem(row);
        const QString replacement = item->text(ReplacementColumn);
        if (!replacement.isEmpty())
            Resultat += u'{' + item->text(LabelColumn) + u'¤' + replacement + u'}';
    }
    accept();
}

void TfCouQonRemplacement::bCancelClick()
{
    Resultat.clear();
    reject();
}
