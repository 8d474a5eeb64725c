// Draws the program's pictures: the welcome picture (an Ionic column wreathed in laurel above an
// open book), the About picture, and the program and document icons. Run it with the res folder
// as argument to rewrite the PNG files there; they are committed, so building never needs it.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

const QColor kGold(0xc8, 0x9b, 0x2c);
const QColor kGoldDark(0x8a, 0x63, 0x12);
const QColor kLeaf(0x3f, 0x7a, 0x2e);
const QColor kLeafDark(0x23, 0x4d, 0x1a);
const QColor kMarble(0xf4, 0xf0, 0xe6);
const QColor kMarbleShade(0xc9, 0xc0, 0xae);
const QColor kInk(0x3a, 0x2a, 0x1a);
const QColor kRed(0x8e, 0x1b, 0x1b);
const QColor kParchment(0xf3, 0xe3, 0xb8);

QImage NewImage(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// One laurel leaf at `base`, pointing along `angle` degrees.
void Leaf(QPainter& p, QPointF base, qreal angle, qreal length, const QColor& color) {
    p.save();
    p.translate(base);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(length * 0.5, -length * 0.32, length, 0);
    leaf.quadTo(length * 0.5, length * 0.32, 0, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(leaf);
    p.setPen(QPen(color.darker(140), qMax(0.5, length / 14)));
    p.drawLine(QPointF(0, 0), QPointF(length * 0.85, 0));
    p.restore();
}

// A laurel branch along an arc of the circle (centre, radius) from `from` to `to` degrees
// (0 is to the right, clockwise positive since y points down).
void LaurelArc(QPainter& p, QPointF centre, qreal radius, qreal from, qreal to, int leaves,
               qreal leafLength) {
    p.setPen(QPen(kLeafDark, qMax(0.8, leafLength / 7), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    for (int i = 0; i <= 40; ++i) {
        const qreal a = qDegreesToRadians(from + (to - from) * i / 40.0);
        const QPointF pt = centre + QPointF(qCos(a), qSin(a)) * radius;
        if (i == 0) {
            stem.moveTo(pt);
        } else {
            stem.lineTo(pt);
        }
    }
    p.drawPath(stem);
    const qreal dir = to > from ? 1 : -1;
    for (int i = 0; i < leaves; ++i) {
        const qreal t = (i + 0.5) / leaves;
        const qreal deg = from + (to - from) * t;
        const qreal a = qDegreesToRadians(deg);
        const QPointF pt = centre + QPointF(qCos(a), qSin(a)) * radius;
        const qreal tangent = deg + 90 * dir;
        const QColor color = i % 2 ? kLeaf : kLeaf.lighter(115);
        Leaf(p, pt, tangent - 35 * dir, leafLength, color);                    // outer side
        Leaf(p, pt, tangent + 35 * dir, leafLength * 0.9, color.darker(110));  // inner side
    }
}

// A wreath open at the top, tied at the bottom: two branches meeting below the centre.
void Wreath(QPainter& p, QPointF centre, qreal radius, int leaves, qreal leafLength) {
    LaurelArc(p, centre, radius, 100, 235, leaves, leafLength);
    LaurelArc(p, centre, radius, 80, -55, leaves, leafLength);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(centre + QPointF(0, radius), radius * 0.1, radius * 0.08);
}

// An Ionic column inside `r`: capital with volutes, fluted shaft, moulded base.
void Column(QPainter& p, const QRectF& r) {
    const qreal w = r.width();
    const qreal capH = w * 0.32;
    const qreal baseH = w * 0.28;
    const QRectF shaft(r.left() + w * 0.14, r.top() + capH, w * 0.72, r.height() - capH - baseH);

    QLinearGradient marble(shaft.topLeft(), shaft.topRight());
    marble.setColorAt(0, kMarbleShade);
    marble.setColorAt(0.35, kMarble);
    marble.setColorAt(0.6, kMarble);
    marble.setColorAt(1, kMarbleShade.darker(110));
    p.setPen(QPen(kMarbleShade.darker(150), 1));
    p.setBrush(marble);
    p.drawRect(shaft);
    // Flutes.
    const int flutes = 6;
    for (int i = 1; i < flutes; ++i) {
        const qreal x = shaft.left() + shaft.width() * i / flutes;
        p.setPen(QPen(kMarbleShade.darker(125), 1.2));
        p.drawLine(QPointF(x, shaft.top() + 3), QPointF(x, shaft.bottom() - 3));
        p.setPen(QPen(Qt::white, 0.6));
        p.drawLine(QPointF(x + 1.2, shaft.top() + 3), QPointF(x + 1.2, shaft.bottom() - 3));
    }

    // Capital: abacus, echinus and the two volutes.
    p.setPen(QPen(kMarbleShade.darker(150), 1));
    p.setBrush(marble);
    const QRectF abacus(r.left(), r.top(), w, capH * 0.3);
    p.drawRect(abacus);
    const QRectF echinus(r.left() + w * 0.1, abacus.bottom(), w * 0.8, capH * 0.42);
    p.drawRoundedRect(echinus, 3, 3);
    for (int side = 0; side < 2; ++side) {
        const QPointF c(side ? r.right() - capH * 0.3 : r.left() + capH * 0.3,
                        abacus.bottom() + capH * 0.28);
        p.setBrush(kMarble);
        p.drawEllipse(c, capH * 0.3, capH * 0.3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kMarbleShade.darker(160), 1));
        QPainterPath spiral;
        for (int i = 0; i <= 60; ++i) {
            const qreal a = i * 0.32 * (side ? -1 : 1);
            const qreal rad = capH * 0.27 * (1 - i / 70.0);
            const QPointF pt = c + QPointF(qCos(a), qSin(a)) * rad;
            if (i == 0) {
                spiral.moveTo(pt);
            } else {
                spiral.lineTo(pt);
            }
        }
        p.drawPath(spiral);
        p.setPen(QPen(kMarbleShade.darker(150), 1));
    }

    // Base: torus, plinth.
    p.setBrush(marble);
    const QRectF torus(r.left() + w * 0.06, shaft.bottom(), w * 0.88, baseH * 0.45);
    p.drawRoundedRect(torus, torus.height() / 2, torus.height() / 2);
    const QRectF plinth(r.left(), torus.bottom(), w, r.bottom() - torus.bottom());
    p.drawRect(plinth);
}

// An open book inside `r`, seen from slightly above.
void OpenBook(QPainter& p, const QRectF& r, bool lines) {
    const qreal mid = r.center().x();
    // Cover.
    p.setPen(QPen(kRed.darker(150), 1));
    p.setBrush(kRed);
    QPainterPath cover;
    cover.moveTo(r.left(), r.top() + r.height() * 0.2);
    cover.lineTo(mid, r.top() + r.height() * 0.32);
    cover.lineTo(r.right(), r.top() + r.height() * 0.2);
    cover.lineTo(r.right(), r.bottom() - r.height() * 0.08);
    cover.lineTo(mid, r.bottom());
    cover.lineTo(r.left(), r.bottom() - r.height() * 0.08);
    cover.closeSubpath();
    p.drawPath(cover);
    // Pages: two curved leaves.
    for (int side = 0; side < 2; ++side) {
        const qreal s = side ? 1 : -1;
        const qreal outer = mid + s * r.width() * 0.47;
        QPainterPath page;
        page.moveTo(mid, r.top() + r.height() * 0.22);
        page.quadTo(mid + s * r.width() * 0.22, r.top(), outer, r.top() + r.height() * 0.08);
        page.lineTo(outer, r.bottom() - r.height() * 0.16);
        page.quadTo(mid + s * r.width() * 0.22, r.bottom() - r.height() * 0.26, mid,
                    r.bottom() - r.height() * 0.06);
        page.closeSubpath();
        p.setPen(QPen(kGoldDark, 0.8));
        p.setBrush(kParchment);
        p.drawPath(page);
        if (!lines) continue;
        p.setPen(QPen(kInk, qMax(0.6, r.height() / 60)));
        const int count = 5;
        for (int i = 0; i < count; ++i) {
            const qreal t = 0.3 + 0.5 * i / (count - 1);
            const qreal y0 = r.top() + r.height() * (0.08 + t * 0.62);
            const qreal x0 = mid + s * r.width() * 0.07;
            const qreal x1 = mid + s * r.width() * 0.4;
            p.drawLine(QPointF(x0, y0 + r.height() * 0.05), QPointF(x1, y0));
        }
    }
}

QImage WelcomePicture() {
    QImage image = NewImage(133, 237);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 237);
    sky.setColorAt(0, QColor(0x2f, 0x4d, 0x7a));
    sky.setColorAt(0.55, QColor(0x9c, 0xb6, 0xd2));
    sky.setColorAt(0.56, kParchment);
    sky.setColorAt(1, kParchment.darker(112));
    p.fillRect(image.rect(), sky);
    // Stars of the evening sky.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230, 200));
    const QPointF stars[] = {{14, 12}, {112, 20}, {24, 44}, {118, 58}, {100, 8}, {8, 80}};
    for (const QPointF& s : stars) p.drawEllipse(s, 1.1, 1.1);

    Wreath(p, QPointF(66.5, 46), 36, 7, 11);
    Column(p, QRectF(44, 30, 45, 150));
    // Steps.
    p.setPen(QPen(kMarbleShade.darker(150), 1));
    p.setBrush(kMarble);
    p.drawRect(QRectF(34, 180, 65, 6));
    p.drawRect(QRectF(26, 186, 81, 6));
    OpenBook(p, QRectF(18, 195, 97, 38), true);
    return image;
}

QImage AboutPicture() {
    QImage image = NewImage(88, 98);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(44, 40, 52);
    glow.setColorAt(0, kParchment.lighter(108));
    glow.setColorAt(1, kParchment.darker(115));
    p.setPen(QPen(kGoldDark, 1.5));
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(1, 1, 86, 96), 8, 8);
    Wreath(p, QPointF(44, 40), 30, 6, 10);
    p.setPen(kRed.darker(120));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(14, 14, 60, 50), Qt::AlignCenter, QStringLiteral("T"));
    OpenBook(p, QRectF(10, 66, 68, 28), true);
    return image;
}

// The program's icon: a golden "T" in a laurel wreath on a red ground.
QImage ProgramIcon(int size) {
    QImage image = NewImage(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient ground(0, 0, 0, s);
    ground.setColorAt(0, kRed.lighter(125));
    ground.setColorAt(1, kRed.darker(130));
    p.setPen(QPen(kGoldDark, qMax(1.0, s / 32)));
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    if (size >= 24) Wreath(p, QPointF(s / 2, s * 0.48), s * 0.36, size >= 64 ? 7 : 5, s * 0.13);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(qRound(s * (size >= 24 ? 0.5 : 0.8)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(kGold.lighter(120));
    p.drawText(QRectF(0, -s * 0.02, s, s), Qt::AlignCenter, QStringLiteral("T"));
    return image;
}

// The document icon: a sheet of parchment with lines of text and a small column.
QImage DocumentIcon(int size) {
    QImage image = NewImage(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal fold = s * 0.25;
    QPainterPath sheet;
    sheet.moveTo(s * 0.15, s * 0.04);
    sheet.lineTo(s * 0.85 - fold, s * 0.04);
    sheet.lineTo(s * 0.85, s * 0.04 + fold);
    sheet.lineTo(s * 0.85, s * 0.96);
    sheet.lineTo(s * 0.15, s * 0.96);
    sheet.closeSubpath();
    p.setPen(QPen(kGoldDark, qMax(1.0, s / 32)));
    p.setBrush(kParchment);
    p.drawPath(sheet);
    p.setBrush(kParchment.darker(115));
    QPainterPath corner;
    corner.moveTo(s * 0.85 - fold, s * 0.04);
    corner.lineTo(s * 0.85 - fold, s * 0.04 + fold);
    corner.lineTo(s * 0.85, s * 0.04 + fold);
    p.drawPath(corner);
    p.setPen(QPen(kInk, qMax(1.0, s / 24)));
    const int lines = size >= 24 ? 6 : 4;
    for (int i = 0; i < lines; ++i) {
        const qreal y = s * (0.38 + 0.5 * i / lines);
        p.drawLine(QPointF(s * 0.26, y), QPointF(s * (i % 3 == 2 ? 0.6 : 0.74), y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(s * 0.26, s * 0.12, s * 0.22, s * 0.16));
    return image;
}

bool Save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "drawart: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawart RES_FOLDER\n");
        return 2;
    }
    const QDir res(QString::fromLocal8Bit(argv[1]));
    res.mkpath(QStringLiteral("bitmaps"));
    res.mkpath(QStringLiteral("icons"));
    bool ok = Save(WelcomePicture(), res, QStringLiteral("bitmaps/135.png"));
    ok = Save(AboutPicture(), res, QStringLiteral("bitmaps/136.png")) && ok;
    ok = Save(ProgramIcon(32), res, QStringLiteral("icons/128.png")) && ok;
    ok = Save(ProgramIcon(16), res, QStringLiteral("icons/128-16.png")) && ok;
    ok = Save(DocumentIcon(32), res, QStringLiteral("icons/129.png")) && ok;
    ok = Save(DocumentIcon(16), res, QStringLiteral("icons/129-16.png")) && ok;
    // The program icon at the other sizes of the desktop's icon theme.
    for (int size : {24, 48, 64, 128, 256}) {
        ok = Save(ProgramIcon(size), res, QStringLiteral("icons/tavrin-%1.png").arg(size)) && ok;
    }
    return ok ? 0 : 1;
}
