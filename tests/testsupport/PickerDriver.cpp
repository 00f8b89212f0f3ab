#include "PickerDriver.h"

#include "support/LumoUrl.h"
#include "testsupport/TestProgram.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QAbstractItemView>
#include <QTest>
#include <QTreeWidget>

QString PickerDriver::insertedBy(const std::function<void()> &action)
{
    const QString untouched = QStringLiteral("(intact)");
    auto &keyEvents = FProgram.windowSystem().keyEvents;
    keyEvents.clear();
    QGuiApplication::clipboard()->setText(untouched);
    action();
    const QString text = QGuiApplication::clipboard()->text();
    if (keyEvents.empty() && text == untouched)
        return QString();
    if (FProgram.pasted())
        return text;
    return QStringLiteral("%1 key events, %2").arg(keyEvents.size()).arg(text);
}

QString PickerDriver::clickLink(const QWidget *picker, const QString &name)
{
    auto *link = picker->findChild<TLumoUrl *>(name);
    if (!link || !link->isVisible())
        return QStringLiteral("(no visible link %1)").arg(name);
    return insertedBy([link] { QTest::mouseClick(link, Qt::LeftButton); });
}

QString PickerDriver::chooseRow(QAbstractItemView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid())
        return QStringLiteral("(no entry %1)").arg(row);
    view->scrollTo(index);
    return doubleClickAt(view, view->visualRect(index).center());
}

QString PickerDriver::chooseNode(QTreeWidget *tree, QTreeWidgetItem *node)
{
    if (!node)
        return QStringLiteral("(no node)");
    if (node->parent())
        node->parent()->setExpanded(true);
    tree->scrollToItem(node);
    return doubleClickAt(tree, tree->visualItemRect(node).center());
}

QString PickerDriver::doubleClickAt(QAbstractItemView *view, const QPoint &pos, Qt::MouseButton button)
{
    return insertedBy([&] {
        QTest::mouseClick(view->viewport(), button, {}, pos);
        QTest::mouseDClick(view->viewport(), button, {}, pos);
    });
}

QString PickerDriver::press(QAbstractItemView *view, Qt::Key key)
{
    return insertedBy([&] { QTest::keyClick(view, key); });
}

QStringList PickerDriver::captions(const QAbstractItemView *view)
{
    QStringList result;
    const QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->index(row, 0).data().toString();
    return result;
}

QPoint PickerDriver::besideTheEntries(const QAbstractItemView *view)
{
    const QAbstractItemModel *model = view->model();
    const int last = model->rowCount() - 1;
    const int bottom = last < 0 ? 0 : view->visualRect(model->index(last, 0)).bottom();
    const QPoint beside(10, bottom + 10);
    if (!view->viewport()->rect().contains(beside) || view->indexAt(beside).isValid())
        return QPoint();
    return beside;
}
