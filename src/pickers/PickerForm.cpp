#include "PickerForm.h"

#include "app/CodeInsertion.h"
#include "app/Scrivo.h"
#include "support/Anchors.h"
#include "support/LumoUrl.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QGroupBox>
#include <QLabel>

QFont PickerFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

TfPickerForm::TfPickerForm(QWidget *owner, const QString &caption, const QSize &clientSize)
    : QWidget(owner, Qt::Window)
    , FOwner(static_cast<TfScrivo *>(owner))
{
    setWindowTitle(caption);
    setFont(PickerFont());
    resize(clientSize);
}

void TfPickerForm::Insert(const QString &code)
{
    InsertCode(FOwner, code);
}

TLumoUrl *TfPickerForm::AddLink(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                                const QRect &geometry, std::function<void(TLumoUrl *)> onClick, bool withPicture)
{
    auto *link = new TLumoUrl(parent);
    link->setObjectName(QLatin1String(name));
    link->SetCaption(caption);
    link->setToolTip(hint);
    link->setGeometry(geometry);
    QFont mouseOver = PickerFont();
    mouseOver.setUnderline(true);
    link->SetMouseOverFont(mouseOver);
    if (withPicture && fWrkGraphics)
        link->SetPicture(fWrkGraphics->LinkPicture());
    connect(link, &TLumoUrl::Click, this, [link, onClick = std::move(onClick)] { onClick(link); });
    return link;
}

QGroupBox *TfPickerForm::AddGroupBox(const char *name, const QString &caption, const QRect &geometry)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

QLabel *TfPickerForm::AddVersionLabel(int left, int top)
{
    auto *label = new QLabel(QStringLiteral("version x.y rév z"), this);
    label->setObjectName(QStringLiteral("labelVersion"));
    label->move(left, top);
    label->setText(QStringLiteral("version ") + VersionText(true));
    label->adjustSize();
    SetAnchors(label, Qt::LeftEdge | Qt::BottomEdge);
    return label;
}
