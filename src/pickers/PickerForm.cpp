#include "PickerForm.h"

#include "support/Anchors.h"
#include "support/DesignFont.h"
#include "support/LumoAccessible.h"
#include "support/LumoUrl.h"
#include "support/StrMan.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <climits>

namespace {

// Double click on the viewport, Enter on the view: both choose the current entry.
class ItemChoiceFilter : public QObject {
public:
    ItemChoiceFilter(QAbstractItemView *view, std::function<void()> insert)
        : QObject(view), FView(view), FViewport(view->viewport()), FInsert(std::move(insert))
    {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The viewport is kept from the start: while the view is being destroyed,
        // asking it for its viewport is no longer valid.
        if (watched == FViewport && event->type() == QEvent::MouseButtonDblClick) {
            // Only the left button chooses, as on the links.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
                return false;
            // The view takes the double click first: that cancels the in-place edit
            // which its first click scheduled on an entry already selected.
            FViewport->removeEventFilter(this);
            QCoreApplication::sendEvent(FViewport, event);
            FViewport->installEventFilter(this);
            FInsert();
            return true;
        }
        if (watched == FView && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // The entry the keyboard is on is the one chosen, selected or not yet.
                const QModelIndex current = FView->currentIndex();
                if (current.isValid())
                    FView->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                FInsert();
                return true;
            }
        }
        return false;
    }

private:
    QAbstractItemView *FView;
    QWidget *FViewport;
    std::function<void()> FInsert;
};

// Moves the children of `box`, placed for a frame whose line runs through the middle of
// the caption, inside the frame that the style draws (lower in most styles): down as far
// as needed, and closer together only when they would otherwise pass the frame's bottom.
void FitIntoFrame(QGroupBox *box)
{
    const QList<QWidget *> children = box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    if (children.isEmpty())
        return;
    int top = INT_MAX;
    const QWidget *lowest = children.first();
    for (const QWidget *child : children) {
        top = std::min(top, child->y());
        if (child->geometry().bottom() > lowest->geometry().bottom())
            lowest = child;
    }
    const QRect inside = box->contentsRect();
    const int span = lowest->geometry().bottom() - top;
    // Some styles draw their line on the top edge of the contents: keep two pixels off
    // it when the lowest child still fits.
    const int first = std::max(inside.top(), std::min(inside.top() + 2, inside.bottom() + 1 - lowest->height()));
    // Down to the frame's top, or up from its bottom, never above its top.
    const int newTop = std::clamp(top, first, std::max(first, inside.bottom() - span));
    double scale = 1;
    if (newTop + span > inside.bottom() && lowest->y() > top)
        scale = double(inside.bottom() + 1 - lowest->height() - newTop) / (lowest->y() - top);
    for (QWidget *child : children)
        child->move(child->x(), newTop + qRound((child->y() - top) * scale));
}

} // namespace

TfPickerForm::TfPickerForm(TPickerHost *host, const QString &caption, const QSize &clientSize)
    : QWidget(host ? host->OwnerWindow() : nullptr, Qt::Window)
    , FHost(host)
{
    setWindowTitle(caption);
    setFont(DesignFont());
    resize(clientSize);
}

void TfPickerForm::Insert(const QString &code)
{
    if (FGivenCode)
        *FGivenCode = code;
    else if (FHost)
        FHost->InsertCode(code);
}

TLumoUrl *TfPickerForm::AddLink(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                                const QRect &geometry, std::function<void(TLumoUrl *)> onClick, bool withPicture)
{
    auto *link = new TLumoUrl(parent);
    link->setObjectName(QLatin1String(name));
    link->SetCaption(caption);
    link->setToolTip(hint);
    link->setGeometry(geometry);
    QFont mouseOver = DesignFont();
    mouseOver.setUnderline(true);
    link->SetMouseOverFont(mouseOver);
    if (withPicture && fWrkGraphics)
        link->SetPicture(fWrkGraphics->LinkPicture());
    link->FitWidthToCaption();
    connect(link, &TLumoUrl::Click, this, [link, onClick = std::move(onClick)] { onClick(link); });
    return link;
}

TLumoUrl *TfPickerForm::AddFixedCodeLink(QWidget *box, const char *name, const QString &caption, const QString &hint,
                                         const QRect &geometry, const QString &code)
{
    return AddLink(box, name, caption, hint, geometry, [this, code](TLumoUrl *) { Insert(code); });
}

QLabel *TfPickerForm::AddOptionLabel(QWidget *box, const char *name, const QString &caption, int left, int top)
{
    auto *label = new QLabel(caption, box);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
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

void TfPickerForm::FitGroupBoxesIntoFrames()
{
    for (QGroupBox *box : findChildren<QGroupBox *>())
        FitIntoFrame(box);
}

void TfPickerForm::OnItemChosen(QAbstractItemView *view, std::function<void()> insert)
{
    FChoiceViews.emplace_back(view, insert);
    new ItemChoiceFilter(view, std::move(insert));
}

QString TfPickerForm::CodeGivenBy(const std::function<void()> &choose)
{
    QString code;
    const QScopedValueRollback<QString *> holdBack(FGivenCode, &code);
    choose();
    return code;
}

QString TfPickerForm::CodeCategory(const QString &detail) const
{
    const QString trimmed = StringManager->TrimBlank(detail);
    return trimmed.isEmpty() ? windowTitle() : windowTitle() + QStringLiteral(" · ") + trimmed;
}

void TfPickerForm::ListCodes(TCodeEntries &codes)
{
    for (const auto &choice : FChoiceViews)
        ListEntryCodes(choice.first, CodeCategory(), codes);
    ListLinkCodes(codes);
}

void TfPickerForm::ListLinkCodes(TCodeEntries &codes)
{
    for (TLumoUrl *link : findChildren<TLumoUrl *>()) {
        if (!link->isEnabled() || std::find(FAskingLinks.begin(), FAskingLinks.end(), link) != FAskingLinks.end())
            continue;
        const QString code = CodeGivenBy([link] { emit link->Click(); });
        if (code.isNull())
            continue;
        // The link's group box tells what the link is about.
        const auto *box = qobject_cast<const QGroupBox *>(link->parentWidget());
        codes.push_back({FLinkLabels.value(link, SpokenCaption(link->Caption())),
                         CodeCategory(box ? box->title() : QString()), code});
    }
}

void TfPickerForm::ListEntryCodes(QAbstractItemView *view, const QString &category, TCodeEntries &codes)
{
    const auto chooser = std::find_if(FChoiceViews.begin(), FChoiceViews.end(),
                                      [view](const auto &choice) { return choice.first == view; });
    if (chooser == FChoiceViews.end())
        return;
    const std::function<void()> &choose = chooser->second;
    const QAbstractItemModel *model = view->model();
    // A tree's groups are not codes of their own: their name joins the category.
    const std::function<void(const QModelIndex &, const QString &)> listUnder = [&](const QModelIndex &parent,
                                                                                     const QString &under) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex entry = model->index(row, 0, parent);
            if (model->hasChildren(entry)) {
                listUnder(entry, under + QStringLiteral(" · ") + entry.data().toString());
                continue;
            }
            view->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            const QString code = CodeGivenBy(choose);
            if (!code.isNull())
                codes.push_back({entry.data().toString(), under, code});
        }
    };
    listUnder(QModelIndex(), category);
}

void TfPickerForm::ListAfterLabel(const QLabel *label, std::initializer_list<const TLumoUrl *> links)
{
    const QString before = StringManager->TrimBlank(label->text());
    for (const TLumoUrl *link : links)
        FLinkLabels.insert(link, before + u' ' + SpokenCaption(link->Caption()));
}
