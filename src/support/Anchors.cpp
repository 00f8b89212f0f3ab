#include "Anchors.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Lives as a child of the parent widget and follows its resize events.
class AnchorKeeper : public QObject {
public:
    explicit AnchorKeeper(QWidget *parent) : QObject(parent), FParent(parent)
    {
        parent->installEventFilter(this);
    }

    void add(QWidget *control, Qt::Edges edges)
    {
        const QRect r = control->geometry();
        const QSize size = FParent->size();
        FAnchored.append({control, edges, r, size.width() - r.right() - 1, size.height() - r.bottom() - 1});
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FParent && event->type() == QEvent::Resize)
            relayout();
        return false;
    }

private:
    struct Anchored {
        QPointer<QWidget> control;
        Qt::Edges edges;
        QRect design;
        int rightGap;
        int bottomGap;
    };

    static void place(int &start, int &length, bool nearEdge, bool farEdge, int gap, int parentLength)
    {
        if (farEdge && nearEdge)
            length = std::max(0, parentLength - gap - start);
        else if (farEdge)
            start = parentLength - gap - length;
    }

    void relayout()
    {
        const QSize size = FParent->size();
        for (const Anchored &a : std::as_const(FAnchored)) {
            if (!a.control)
                continue;
            int left = a.design.left(), width = a.design.width();
            int top = a.design.top(), height = a.design.height();
            place(left, width, a.edges & Qt::LeftEdge, a.edges & Qt::RightEdge, a.rightGap, size.width());
            place(top, height, a.edges & Qt::TopEdge, a.edges & Qt::BottomEdge, a.bottomGap, size.height());
            a.control->setGeometry(left, top, width, height);
        }
    }

    QWidget *FParent;
    QList<Anchored> FAnchored;
};

} // namespace

void SetAnchors(QWidget *control, Qt::Edges edges)
{
    QWidget *parent = control->parentWidget();
    AnchorKeeper *keeper = nullptr;
    for (QObject *child : parent->children())
        if ((keeper = dynamic_cast<AnchorKeeper *>(child)))
            break;
    if (!keeper)
        keeper = new AnchorKeeper(parent);
    keeper->add(control, edges);
}
