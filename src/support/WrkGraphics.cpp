#include "WrkGraphics.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

TfWrkGraphics *fWrkGraphics = nullptr;

namespace {

// One palette for every image, so that the glyphs look like one set.
const QColor Outline(60, 74, 92);
const QColor Accent(47, 111, 198);
const QColor AccentDark(30, 72, 140);
const QColor Green(46, 150, 70);
const QColor GreenDark(28, 100, 45);
const QColor Red(200, 55, 45);
const QColor Gold(240, 190, 40);
const QColor GoldDark(170, 120, 20);
const QColor Folder(236, 190, 90);
const QColor FolderDark(170, 120, 40);
const QColor Wood(170, 120, 70);
const QColor Lines(140, 150, 165);
const QColor Paper(Qt::white);
// The transparent colour of the link bitmaps.
const QColor Magenta(255, 0, 255);

using Artwork = std::function<void(QPainter &)>;

QPixmap Draw16(const Artwork &art)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    art(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

// A link bitmap: the pixels the artwork covers at least half become opaque, the others
// take the transparent colour (no pink fringe once that colour is keyed out).
QPixmap KeyedBitmap(const Artwork &art)
{
    QImage image = Draw16(art).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qAlpha(line[x]) >= 128 ? (line[x] | 0xff000000u) : Magenta.rgb();
    }
    return QPixmap::fromImage(image);
}

QPen Stroke(const QColor &colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void RadioRing(QPainter &p, const QColor &border)
{
    p.setPen(Stroke(border));
    p.setBrush(Paper);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
}

void RadioDot(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(8, 8), 3, 3);
}

void Box(QPainter &p, const QColor &border)
{
    p.setPen(Stroke(border));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
}

void Tick(QPainter &p, const QColor &colour, qreal width = 2.0)
{
    p.setPen(Stroke(colour, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(4.8, 8.2);
    path.lineTo(7.2, 10.6);
    path.lineTo(11.4, 5.4);
    p.drawPath(path);
}

void QuestionMark(QPainter &p, const QColor &colour, const QPointF &centre, qreal scale = 1.0)
{
    p.save();
    p.translate(centre);
    p.scale(scale, scale);
    p.setPen(Stroke(colour, 1.7));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(-2.3, -1.6);
    hook.cubicTo(-2.3, -4.8, 2.3, -4.8, 2.3, -1.8);
    hook.cubicTo(2.3, -0.2, 0, 0.1, 0, 1.6);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(0, 3.9), 1.0, 1.0);
    p.restore();
}

void Page(QPainter &p, const QRectF &r)
{
    const qreal fold = 3;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(Stroke(Outline));
    p.setBrush(Paper);
    p.drawPath(page);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                              QPointF(r.right(), r.top() + fold)}));
    p.setPen(Stroke(Lines));
    for (qreal y = r.top() + 5; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void Clipboard(QPainter &p, qreal dx, qreal dy)
{
    p.save();
    p.translate(dx, dy);
    p.setPen(Stroke(Wood.darker(140)));
    p.setBrush(Wood);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12), 1.5, 1.5);
    p.setPen(Stroke(Lines));
    p.setBrush(Paper);
    p.drawRect(QRectF(4.5, 4.5, 7, 8));
    p.setPen(Stroke(Outline));
    p.setBrush(QColor(190, 195, 205));
    p.drawRoundedRect(QRectF(5.5, 1.5, 5, 3), 1, 1);
    // Three answer boxes with their lines.
    for (qreal y : {6.5, 8.5, 10.5}) {
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRect(QRectF(5.5, y - 0.5, 1.2, 1.2));
        p.setPen(Stroke(Lines));
        p.drawLine(QPointF(7.5, y), QPointF(10.5, y));
    }
    p.restore();
}

void QuestionBox(QPainter &p)
{
    p.setPen(Stroke(Accent));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
}

QPolygonF Star(const QPointF &centre, qreal outer, qreal inner)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? inner : outer;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return star;
}

void InsertArrow(QPainter &p)
{
    Page(p, QRectF(6.5, 1.5, 8, 13));
    p.setPen(Stroke(GreenDark));
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(1.5, 6.5), QPointF(5.5, 6.5), QPointF(5.5, 3.5), QPointF(10.5, 8),
                             QPointF(5.5, 12.5), QPointF(5.5, 9.5), QPointF(1.5, 9.5)}));
}

void QuestionDisc(QPainter &p)
{
    p.setPen(Stroke(AccentDark));
    p.setBrush(Accent);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QuestionMark(p, Paper, QPointF(8, 8.2));
}

} // namespace

TfWrkGraphics::TfWrkGraphics(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("fWrkGraphics"));
    setWindowTitle(QStringLiteral("Conteneur des ressources graphiques"));

    const QList<Artwork> checks = {
        [](QPainter &p) { RadioRing(p, Outline); RadioDot(p); },
        [](QPainter &p) { RadioRing(p, Outline); },
        [](QPainter &p) { RadioRing(p, Accent); RadioDot(p); },
        [](QPainter &p) { Box(p, Outline); Tick(p, Green); },
        [](QPainter &p) { Box(p, Outline); },
        [](QPainter &p) { Box(p, Accent); Tick(p, Green); },
        [](QPainter &p) { Box(p, Accent); },
        [](QPainter &p) {
            Box(p, Lines);
            p.setPen(Qt::NoPen);
            p.setBrush(Lines);
            p.drawRect(QRectF(5, 7, 6, 2));
        },
    };
    for (const Artwork &art : checks)
        ImagesChk.Add(Draw16(art));

    const QList<Artwork> icons = {
        // 0 folder
        [](QPainter &p) {
            p.setPen(Stroke(FolderDark));
            p.setBrush(Folder);
            QPainterPath folder;
            folder.moveTo(1.5, 3.5);
            folder.lineTo(6, 3.5);
            folder.lineTo(7.5, 5);
            folder.lineTo(14.5, 5);
            folder.lineTo(14.5, 13.5);
            folder.lineTo(1.5, 13.5);
            folder.closeSubpath();
            p.drawPath(folder);
            p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
        },
        // 1 open folder
        [](QPainter &p) {
            p.setPen(Stroke(FolderDark));
            p.setBrush(Folder.darker(110));
            QPainterPath back;
            back.moveTo(1.5, 13.5);
            back.lineTo(1.5, 3.5);
            back.lineTo(6, 3.5);
            back.lineTo(7.5, 5);
            back.lineTo(13.5, 5);
            back.lineTo(13.5, 7.5);
            p.drawPath(back);
            p.setBrush(Folder.lighter(110));
            p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15, 7.5), QPointF(12.5, 13.5)}));
        },
        // 2 document
        [](QPainter &p) { Page(p, QRectF(3.5, 1.5, 9, 13)); },
        // 3 person
        [](QPainter &p) {
            p.setPen(Stroke(AccentDark));
            p.setBrush(Accent);
            p.drawEllipse(QPointF(8, 5), 2.8, 2.8);
            QPainterPath body;
            body.moveTo(2.5, 14.5);
            body.cubicTo(2.5, 8.5, 13.5, 8.5, 13.5, 14.5);
            body.closeSubpath();
            p.drawPath(body);
        },
        // 4 calendar
        [](QPainter &p) {
            p.setPen(Stroke(Outline));
            p.setBrush(Paper);
            p.drawRect(QRectF(1.5, 2.5, 13, 12));
            p.setBrush(Red);
            p.drawRect(QRectF(1.5, 2.5, 13, 3));
            p.setPen(Qt::NoPen);
            p.setBrush(Lines);
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < 4; ++column)
                    p.drawRect(QRectF(3.5 + column * 2.7, 7 + row * 2.4, 1.5, 1.4));
        },
        // 5 questionnaire
        [](QPainter &p) { Clipboard(p, 0, 0); },
        // 6 super-questionnaire: a questionnaire of questionnaires
        [](QPainter &p) {
            p.setPen(Stroke(Wood.darker(140)));
            p.setBrush(Wood.lighter(120));
            p.drawRoundedRect(QRectF(4.5, 0.5, 10.5, 11), 1.5, 1.5);
            Clipboard(p, -1.5, 1);
            p.setPen(Stroke(GoldDark));
            p.setBrush(Gold);
            p.drawPolygon(Star(QPointF(12.5, 12.5), 3.4, 1.5));
        },
        // 7 question
        [](QPainter &p) { QuestionDisc(p); },
        // 8 question answered by a free text
        [](QPainter &p) {
            QuestionBox(p);
            QuestionMark(p, Accent, QPointF(5.5, 6.5), 0.75);
            p.setPen(Stroke(Lines));
            p.drawLine(QPointF(8.5, 5.5), QPointF(12, 5.5));
            p.drawLine(QPointF(8.5, 8), QPointF(12, 8));
            p.drawLine(QPointF(4, 11), QPointF(12, 11));
        },
        // 9 question answered from a list of choices
        [](QPainter &p) {
            QuestionBox(p);
            for (qreal y : {5.0, 8.0, 11.0}) {
                p.setPen(Stroke(Accent));
                p.setBrush(y == 8.0 ? Accent : Paper);
                p.drawEllipse(QPointF(5, y), 1.3, 1.3);
                p.setPen(Stroke(Lines));
                p.drawLine(QPointF(7.5, y), QPointF(12, y));
            }
        },
        // 10 question answered by a number
        [](QPainter &p) {
            QuestionBox(p);
            p.setPen(Stroke(Accent, 1.2));
            p.drawLine(QPointF(6.5, 4), QPointF(5.5, 12));
            p.drawLine(QPointF(10.5, 4), QPointF(9.5, 12));
            p.drawLine(QPointF(4, 6.5), QPointF(12, 6.5));
            p.drawLine(QPointF(4, 9.5), QPointF(12, 9.5));
        },
        // 11 tick
        [](QPainter &p) { Tick(p, Green, 2.6); },
        // 12 cross
        [](QPainter &p) {
            p.setPen(Stroke(Red, 2.6));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
        },
        // 13 star
        [](QPainter &p) {
            p.setPen(Stroke(GoldDark));
            p.setBrush(Gold);
            p.drawPolygon(Star(QPointF(8, 8.5), 6.8, 2.9));
        },
        // 14 information
        [](QPainter &p) {
            p.setPen(Stroke(AccentDark));
            p.setBrush(Accent);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(Paper);
            p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
            p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.6, 0.6);
        },
        // 15 warning
        [](QPainter &p) {
            p.setPen(Stroke(GoldDark));
            p.setBrush(Gold);
            p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(14.8, 14), QPointF(1.2, 14)}));
            p.setPen(Qt::NoPen);
            p.setBrush(Outline);
            p.drawRoundedRect(QRectF(7.2, 5.5, 1.6, 5), 0.6, 0.6);
            p.drawEllipse(QPointF(8, 12), 0.9, 0.9);
        },
    };
    for (const Artwork &art : icons)
        Images16x16.Add(Draw16(art));

    FLinkPicture = KeyedBitmap(InsertArrow);
    FQuestionnairePicture = KeyedBitmap([](QPainter &p) { Clipboard(p, 0, 0); });
    FQuestionPicture = KeyedBitmap(QuestionDisc);

    fWrkGraphics = this;
}

TfWrkGraphics::~TfWrkGraphics()
{
    if (fWrkGraphics == this)
        fWrkGraphics = nullptr;
}
