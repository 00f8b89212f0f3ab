#include "LumoAccessible.h"

#include "LumoRadio.h"
#include "LumoUrl.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// The caption as name, unless the program gave the control a name of its own.
QString CaptionName(const QWidget *control, const QString &caption)
{
    return control->accessibleName().isEmpty() ? SpokenCaption(caption) : control->accessibleName();
}

class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(TLumoUrl *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text text) const override
    {
        return text == QAccessible::Name ? CaptionName(widget(), link()->Caption()) : QAccessibleWidget::text(text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Queued, as a button's animated click is: the screen reader's call returns at
        // once, even when the link opens a modal dialog.
        if (widget()->isEnabled())
            QMetaObject::invokeMethod(link(), &TLumoUrl::Press, Qt::QueuedConnection);
    }

private:
    TLumoUrl *link() const { return static_cast<TLumoUrl *>(widget()); }
};

class RadioAccessible : public QAccessibleWidget {
public:
    explicit RadioAccessible(TLumoRadio *radio) : QAccessibleWidget(radio) {}

    // The kind may be set after the control is made: read it each time.
    QAccessible::Role role() const override
    {
        return radio()->ControlType() == iLumoRadio ? QAccessible::RadioButton : QAccessible::CheckBox;
    }
    QString text(QAccessible::Text text) const override
    {
        return text == QAccessible::Name ? CaptionName(widget(), radio()->Caption()) : QAccessibleWidget::text(text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = radio()->Value();
        return state;
    }
    // Press checks a radio (UI Automation selects one so); toggle is what a check box
    // offers. Both work the control as a click does.
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names = QStringList{pressAction(), toggleAction()} + names;
        return names;
    }
    void doAction(const QString &action) override
    {
        if (action != pressAction() && action != toggleAction())
            QAccessibleWidget::doAction(action);
        else if (widget()->isEnabled())
            radio()->Press();
    }

private:
    TLumoRadio *radio() const { return static_cast<TLumoRadio *>(widget()); }
};

QAccessibleInterface *LumoFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TLumoUrl"))
        if (auto *link = qobject_cast<TLumoUrl *>(object))
            return new LinkAccessible(link);
    if (className == QLatin1String("TLumoRadio"))
        if (auto *radio = qobject_cast<TLumoRadio *>(object))
            return new RadioAccessible(radio);
    return nullptr;
}

} // namespace

void InstallLumoAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(LumoFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString SpokenCaption(const QString &caption)
{
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        spoken += caption[i];
    }
    return spoken;
}

void AnnounceNameChange(QWidget *control)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void AnnounceCheckedChange(QWidget *control)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}
