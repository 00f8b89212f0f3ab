// The link label, the image radio / check box, their image list and the image store,
// driven through real mouse and enter/leave events and observed through the controls'
// state and their rendered pixels.
#include "support/ImageList.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "support/WrkGraphics.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

QPixmap Solid(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

QImage Render(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

bool IsInk(QRgb pixel, QRgb background)
{
    return qAbs(qRed(pixel) - qRed(background)) + qAbs(qGreen(pixel) - qGreen(background))
               + qAbs(qBlue(pixel) - qBlue(background)) > 90;
}

// Bounding box of what was drawn on the widget's background.
QRect InkBox(QWidget *widget)
{
    const QImage image = Render(widget);
    const QRgb background = widget->palette().color(QPalette::Window).rgb();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsInk(image.pixel(x, y), background))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool HasPixel(const QImage &image, const std::function<bool(QRgb)> &test)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                return true;
    return false;
}

void Enter(QWidget *widget)
{
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)));
    QCoreApplication::sendEvent(widget, &event);
}

void Leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class TstLumoControls : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> host;
    QWidget *parentA = nullptr;
    QWidget *parentB = nullptr;
    TImageList colours;

    TLumoRadio *radio(QWidget *parent, const char *name, bool asCheck = false)
    {
        auto *control = new TLumoRadio(parent);
        control->setObjectName(QLatin1String(name));
        control->SetCaption(QLatin1String(name));
        if (asCheck)
            control->SetupAsCheck(&colours);
        else
            control->SetupAsRadio(&colours);
        control->show();
        return control;
    }

    // Colour of the middle of the image place of a radio of the default height.
    static QRgb ImagePixel(TLumoRadio *control) { return Render(control).pixel(9, control->height() / 2); }

private slots:
    void initTestCase();
    void init();
    void cleanup() { host.reset(); }

    void radioGroupExcludesPerParent();
    void clickRules();
    void imagesFollowStateAndPointer();
    void linkMouseOverAndDisabledLook();
    void linkClick();
    void linkPictureLayout();
    void keyboardFocusAndKeys();
    void wrappedCaptionStaysInside();
    void imageStore();
    void screenReadersHearTheCaption();
};

void TstLumoControls::initTestCase()
{
    // 0 red, 1 green, 2 blue, 3 yellow, 4 cyan.
    for (const QColor &c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue), QColor(Qt::yellow), QColor(Qt::cyan)})
        colours.Add(Solid(c));
}

void TstLumoControls::init()
{
    host = std::make_unique<QWidget>();
    host->resize(700, 300);
    parentA = new QWidget(host.get());
    parentA->setGeometry(0, 0, 340, 300);
    parentB = new QWidget(host.get());
    parentB->setGeometry(350, 0, 340, 300);
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));
}

void TstLumoControls::radioGroupExcludesPerParent()
{
    TLumoRadio *a1 = radio(parentA, "a1");
    TLumoRadio *a2 = radio(parentA, "a2");
    TLumoRadio *chk = radio(parentA, "chk", true);
    TLumoRadio *checkInGroup1 = radio(parentA, "checkInGroup1", true);
    checkInGroup1->SetGroupIndex(1);
    TLumoRadio *b1 = radio(parentB, "b1");
    auto *panel = new QWidget(parentA);
    TLumoRadio *nested = radio(panel, "nested");
    a2->move(0, 40);

    for (TLumoRadio *c : {checkInGroup1, chk, a1, b1, nested})
        c->SetValue(true);
    // Checking a1 unchecked nothing but the group-1 check on its own parent.
    QVERIFY(a1->Value());
    QVERIFY(!checkInGroup1->Value());
    checkInGroup1->SetValue(true);
    QVERIFY(a1->Value()); // a check never unchecks anything

    QSignalSpy a1Clicks(a1, &TLumoRadio::Click), a2Clicks(a2, &TLumoRadio::Click), chkClicks(chk, &TLumoRadio::Click),
        g1Clicks(checkInGroup1, &TLumoRadio::Click), b1Clicks(b1, &TLumoRadio::Click),
        nestedClicks(nested, &TLumoRadio::Click);
    QTest::mouseClick(a2, Qt::LeftButton);

    QVERIFY(a2->Value());
    QVERIFY(!a1->Value());
    QVERIFY(!checkInGroup1->Value()); // same parent, same group, whatever its kind
    QVERIFY(chk->Value());            // group 2
    QVERIFY(b1->Value());             // other parent
    QVERIFY(nested->Value());         // child of a child: another parent
    QCOMPARE(a1Clicks.count(), 1);
    QCOMPARE(g1Clicks.count(), 1);
    QVERIFY(a2Clicks.count() >= 1);
    QCOMPARE(chkClicks.count(), 0);
    QCOMPARE(b1Clicks.count(), 0);
    QCOMPARE(nestedClicks.count(), 0);
}

void TstLumoControls::clickRules()
{
    TLumoRadio *fixed = radio(parentA, "fixed");
    fixed->SetValue(true);
    QSignalSpy fixedClicks(fixed, &TLumoRadio::Click);
    QTest::mouseClick(fixed, Qt::LeftButton);
    QVERIFY(fixed->Value());
    QCOMPARE(fixedClicks.count(), 1); // the click itself, no change

    TLumoRadio *loose = radio(parentB, "loose");
    loose->SetCanUncheck(true);
    QTest::mouseClick(loose, Qt::LeftButton);
    QVERIFY(loose->Value());
    QTest::mouseClick(loose, Qt::LeftButton);
    QVERIFY(!loose->Value());

    // A check toggles on the release of any button.
    TLumoRadio *check = radio(parentA, "check", true);
    check->move(0, 40);
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->Value());
    QTest::mouseClick(check, Qt::RightButton);
    QVERIFY(!check->Value());
    QVERIFY(fixed->Value());
}

void TstLumoControls::imagesFollowStateAndPointer()
{
    TLumoRadio *rd = radio(parentA, "rd");
    const QRgb background = rd->palette().color(QPalette::Window).rgb();
    QCOMPARE(rd->CurrentImageIndex(), -1);
    QCOMPARE(ImagePixel(rd), background); // unchecked radio: no image...
    QVERIFY(InkBox(rd).left() >= 16 + 3); // ...but its caption in its place
    rd->SetValue(true);
    QCOMPARE(ImagePixel(rd), QColor(Qt::red).rgb());

    // The pointer repaints only when it changes the image.
    TLumoRadio *chk = radio(parentB, "chk", true);
    chk->SetImgMoveUnChecked(1);
    chk->SetImgMoveChecked(2);
    QCOMPARE(ImagePixel(chk), QColor(Qt::cyan).rgb());
    QTest::qWait(30);
    PaintCounter rdPaints(rd), chkPaints(chk);
    Enter(rd);
    Enter(chk);
    QTest::qWait(30);
    QVERIFY(rd->MouseOver());
    QCOMPARE(rdPaints.count, 0);
    QVERIFY(chkPaints.count > 0);
    QCOMPARE(chk->CurrentImageIndex(), 1);
    chk->SetValue(true);
    QCOMPARE(ImagePixel(chk), QColor(Qt::blue).rgb());
    Leave(chk);
    QCOMPARE(ImagePixel(chk), QColor(Qt::yellow).rgb());

    // Disabled: the pointer is noted but the plain image shows, greyed.
    chk->setEnabled(false);
    Enter(chk);
    QVERIFY(chk->MouseOver());
    QCOMPARE(chk->CurrentImageIndex(), 3);
    const QRgb grey = ImagePixel(chk);
    QVERIFY(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
    QVERIFY(grey != QColor(Qt::yellow).rgb());

    // Without an image list, the caption alone at (2, 2).
    chk->SetImageList(nullptr);
    chk->setEnabled(true);
    const QRect ink = InkBox(chk);
    QVERIFY2(ink.left() >= 2 && ink.left() <= 4 && ink.top() >= 2 && ink.top() <= 6, qPrintable(QDebug::toString(ink)));
}

void TstLumoControls::linkMouseOverAndDisabledLook()
{
    auto *link = new TLumoUrl(parentA);
    link->resize(150, 17);
    link->SetCaption(QStringLiteral("Insérer Date du Jour"));
    QPalette palette = link->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(255, 0, 0));
    link->setPalette(palette);
    link->show();
    Leave(link); // the pointer may rest where the link appeared

    const QImage plain = Render(link);
    QVERIFY(link->MouseOverFont().underline());
    QCOMPARE(link->MouseOverColor(), QColor(Qt::blue));
    Enter(link);
    QVERIFY(link->MouseOver());
    const QImage over = Render(link);
    QVERIFY(over != plain);
    QVERIFY(HasPixel(over, [](QRgb p) { return qBlue(p) > 180 && qRed(p) < 90 && qGreen(p) < 90; }));
    Leave(link);
    QVERIFY(!link->MouseOver());
    QCOMPARE(Render(link), plain);

    // Disabled: Font in the disabled text colour, and the pointer changes nothing.
    link->setEnabled(false);
    const QImage disabled = Render(link);
    QVERIFY(HasPixel(disabled, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90; }));
    QTest::qWait(30);
    PaintCounter paints(link);
    Enter(link);
    QTest::qWait(30);
    QCOMPARE(paints.count, 0);
    QVERIFY(!link->MouseOver());
    QCOMPARE(Render(link), disabled);
}

void TstLumoControls::linkClick()
{
    auto *link = new TLumoUrl(parentA);
    link->show();
    QSignalSpy clicks(link, &TLumoUrl::Click);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(250, 5)); // released beside it
    QCOMPARE(clicks.count(), 1);
}

void TstLumoControls::linkPictureLayout()
{
    TfWrkGraphics store;
    auto *link = new TLumoUrl(parentA);
    link->resize(150, 17);
    link->SetCaption(QStringLiteral("Insérer Date du Jour"));
    link->show();

    link->SetPicture(store.LinkPicture());
    QVERIFY(link->HasPicture());
    const QImage image = Render(link);
    // The transparent colour never shows; the picture stands at x 1, the caption after it.
    QVERIFY(!HasPixel(image, [](QRgb p) { return p == qRgb(255, 0, 255); }));
    const QRgb background = link->palette().color(QPalette::Window).rgb();
    const auto inkIn = [&](int fromX, int toX) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = fromX; x <= toX; ++x)
                if (IsInk(image.pixel(x, y), background))
                    return true;
        return false;
    };
    QVERIFY(!inkIn(0, 0));
    QVERIFY(inkIn(1, 16));
    QVERIFY(!inkIn(17, 18));
    QVERIFY(inkIn(19, 40));

    // No picture, or a picture of no usable kind: the caption alone at (2, 2).
    for (const std::function<void()> &drop : std::initializer_list<std::function<void()>>{
             [link] { link->ClearPicture(); }, [link] { link->SetPicture(QPixmap()); }}) {
        link->SetPicture(store.LinkPicture());
        drop();
        QVERIFY(!link->HasPicture());
        const QRect ink = InkBox(link);
        QVERIFY2(ink.left() >= 2 && ink.left() <= 4 && ink.top() >= 2 && ink.top() <= 6, qPrintable(QDebug::toString(ink)));
    }
}

void TstLumoControls::keyboardFocusAndKeys()
{
    auto *link = new TLumoUrl(parentA);
    link->resize(150, 17);
    link->SetCaption(QStringLiteral("Insérer Date du Jour"));
    link->show();
    TLumoRadio *first = radio(parentA, "first");
    TLumoRadio *second = radio(parentA, "second");
    TLumoRadio *check = radio(parentA, "check", /*asCheck*/ true);
    second->move(0, 40);
    check->move(0, 80);
    first->SetValue(true);
    host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host.get()));

    // Tab reaches each control, which then looks different; a mouse click gives no focus.
    for (QWidget *control : std::initializer_list<QWidget *>{link, first, check}) {
        QCOMPARE(control->focusPolicy(), Qt::TabFocus);
        const QImage unfocused = Render(control);
        control->setFocus(Qt::TabFocusReason);
        QVERIFY2(Render(control) != unfocused, qPrintable(control->objectName()));
    }

    // Space, Return and the keypad's Enter click; other keys, Alt, held keys do not.
    QSignalSpy clicks(link, &TLumoUrl::Click);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_A})
        QTest::keyClick(link, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QTest::keyClick(link, Qt::Key_Return, Qt::AltModifier);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), /*autorep*/ true);
    QCoreApplication::sendEvent(link, &held);
    QCOMPARE(clicks.count(), 3);

    // A radio is checked and stays so; a check toggles.
    QTest::keyClick(second, Qt::Key_Space);
    QTest::keyClick(second, Qt::Key_Return);
    QVERIFY(second->Value() && !first->Value());
    QTest::keyClick(check, Qt::Key_Return);
    QVERIFY(check->Value());
    QTest::keyClick(check, Qt::Key_Space);
    QVERIFY(!check->Value());
}

// The name is the caption as drawn, the accelerator's "&" left out; a disabled control
// says so and offers nothing to press.
void TstLumoControls::screenReadersHearTheCaption()
{
    const auto accessibleOf = [](QWidget *control) { return QAccessible::queryAccessibleInterface(control); };
    auto *link = new TLumoUrl(parentA);
    link->SetCaption(QStringLiteral("&Copier && coller"));
    TLumoRadio *check = radio(parentA, "check", /*asCheck*/ true);
    check->SetCaption(QStringLiteral("inclure le &libellé"));
    QCOMPARE(accessibleOf(link)->text(QAccessible::Name), QStringLiteral("Copier & coller"));
    QCOMPARE(accessibleOf(check)->text(QAccessible::Name), QStringLiteral("inclure le libellé"));

    QSignalSpy clicks(link, &TLumoUrl::Click);
    for (QWidget *control : std::initializer_list<QWidget *>{link, check}) {
        control->setEnabled(false);
        QAccessibleInterface *accessible = accessibleOf(control);
        QVERIFY(accessible->state().disabled);
        QCOMPARE(accessible->actionInterface()->actionNames(), QStringList());
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCoreApplication::sendPostedEvents(control, QEvent::MetaCall);
    }
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!check->Value());
}

void TstLumoControls::wrappedCaptionStaysInside()
{
    TLumoRadio *option = radio(parentA, "formulaire technique ou résumé  (codes en QQC)");
    option->resize(200, 2 * option->fontMetrics().lineSpacing() + 4); // room for two lines in any font
    QVERIFY(option->CaptionRect().right() >= option->width()); // on one line it runs past the control
    option->SetWordWrap(true);
    QVERIFY(option->rect().contains(option->CaptionRect()));
    QVERIFY(option->rect().contains(InkBox(option)));
    QVERIFY(InkBox(option).height() > option->fontMetrics().height()); // two lines
}

void TstLumoControls::imageStore()
{
    {
        TfWrkGraphics store;
        QCOMPARE(fWrkGraphics, &store);
        QCOMPARE(store.windowTitle(), QStringLiteral("Conteneur des ressources graphiques"));
        QCOMPARE(store.ImagesChk.Count(), 8);
        QVERIFY(store.Images16x16.Count() >= 16);
        // The images the pickers name are drawn and tell their states apart.
        const auto drawn = [](const QPixmap &p) {
            return p.size() == QSize(16, 16) && HasPixel(p.toImage(), [](QRgb c) { return qAlpha(c) > 0; });
        };
        for (int i : {0, 3, 4})
            QVERIFY2(drawn(store.ImagesChk.Image(i)), qPrintable(QString::number(i)));
        QVERIFY(store.ImagesChk.Image(3).toImage() != store.ImagesChk.Image(4).toImage());
        for (int i = 5; i <= 10; ++i)
            QVERIFY2(drawn(store.Images16x16.Image(i)), qPrintable(QString::number(i)));
        for (const QPixmap &picture : {store.LinkPicture(), store.QuestionnairePicture(), store.QuestionPicture()}) {
            const QImage image = picture.toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            const QRgb key = image.pixel(0, 0);
            QVERIFY(HasPixel(image, [key](QRgb c) { return c != key; }));
        }

        // A keyed bitmap in a list: the key colour becomes transparent, the rest stays.
        TImageList list;
        QPixmap keyed = Solid(QColor(255, 0, 255));
        QPainter(&keyed).fillRect(4, 4, 8, 8, Qt::blue);
        list.Add(keyed, QColor(255, 0, 255));
        QCOMPARE(qAlpha(list.Image(0).toImage().pixel(0, 0)), 0);
        QCOMPARE(list.Image(0).toImage().pixel(8, 8), QColor(Qt::blue).rgb());
    }
    QCOMPARE(fWrkGraphics, nullptr);
}

QTEST_MAIN(TstLumoControls)
#include "tst_lumocontrols.moc"
