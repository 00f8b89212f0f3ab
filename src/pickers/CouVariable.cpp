#include "CouVariable.h"

#include "support/Anchors.h"
#include "support/DesignFont.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>

TfCouVariable::TfCouVariable(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Variables"), QSize(375, 242))
{
    setFont(DesignFont(QStringLiteral("Tahoma"), 11)); // 8 points

    Label1 = new QLabel(QStringLiteral("Variables définies pour ce modèle :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(DesignFont(QStringLiteral("Tahoma"), 15));
    Label1->setGeometry(16, 8, std::max(226, Label1->sizeHint().width()), 18); // the colon included

    lvVar = new QTreeWidget(this);
    lvVar->setObjectName(QStringLiteral("lvVar"));
    lvVar->setGeometry(8, 40, 353, 194);
    lvVar->setHeaderLabels({QStringLiteral("Nom Variables")});
    lvVar->setAccessibleName(QStringLiteral("Variables définies pour ce modèle"));
    lvVar->setColumnWidth(0, 300);
    lvVar->setRootIsDecorated(false);
    lvVar->setSelectionMode(QAbstractItemView::SingleSelection);
    lvVar->header()->setStretchLastSection(false);
    SetAnchors(lvVar, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    OnItemChosen(lvVar, [this] { lvVarDblClick(); });

    FormCreate();
}

void TfCouVariable::FormCreate()
{
    const QStringList *variables = Host() ? Host()->Variables() : nullptr;
    if (!variables)
        return;
    for (const QString &variable : *variables)
        new QTreeWidgetItem(lvVar, {variable});
}

void TfCouVariable::lvVarDblClick()
{
    const QList<QTreeWidgetItem *> selected = lvVar->selectedItems();
    if (selected.isEmpty())
        return;
    Insert(QStringLiteral("[VAR :") + selected.first()->text(0) + QStringLiteral(" ]"));
}
