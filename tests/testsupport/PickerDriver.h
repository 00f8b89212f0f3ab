// Works a hosted picker as its user does (real double clicks, link clicks, Enter) and
// tells what reached the document: the text of the one Ctrl+V that the program's
// recording window system received, read from the clipboard.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TestProgram;

class PickerDriver {
public:
    explicit PickerDriver(TestProgram &program) : FProgram(program) {}

    /// What `action` put into the document: the clipboard text when exactly one Ctrl+V
    /// was typed; a null text when nothing was typed and the clipboard was not touched;
    /// otherwise a description of what happened instead.
    QString insertedBy(const std::function<void()> &action);

    /// A left click on the visible link `name` of `picker`.
    QString clickLink(const QWidget *picker, const QString &name);
    /// A real double click on the top-level entry `row` of `view`, scrolled into view:
    /// its first press selects the entry, the second chooses it.
    QString chooseRow(QAbstractItemView *view, int row);
    /// The same on a tree's node, its group unfolded first.
    QString chooseNode(QTreeWidget *tree, QTreeWidgetItem *node);
    /// A real double click of `button` (a click, then the double click) at `pos` of the
    /// view's viewport.
    QString doubleClickAt(QAbstractItemView *view, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
    /// `key` (Return or Enter) pressed on the view.
    QString press(QAbstractItemView *view, Qt::Key key = Qt::Key_Return);

    /// The texts of the view's top-level entries, in order.
    static QStringList captions(const QAbstractItemView *view);
    /// A point of the viewport below the view's last entry, or a null point when the
    /// entries leave no room there.
    static QPoint besideTheEntries(const QAbstractItemView *view);

private:
    TestProgram &FProgram;
};
