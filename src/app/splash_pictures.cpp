#include "app/splash_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <mutex>
#include <optional>

namespace platine {

namespace {

const QString &titleText()
{
    static const QString text = QStringLiteral("Platine programmable autonome");
    return text;
}

// A thin rule with a diamond in its middle and a curl at each end, centred on y.
void paintOrnamentalRule(QPainter &painter, qreal left, qreal right, qreal y, const QColor &ink)
{
    const qreal middle = (left + right) / 2;
    painter.setPen(QPen(ink, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(left + 14, y), QPointF(middle - 12, y));
    painter.drawLine(QPointF(middle + 12, y), QPointF(right - 14, y));
    painter.setPen(QPen(ink, 0.6));
    painter.drawLine(QPointF(left + 30, y + 3), QPointF(middle - 20, y + 3));
    painter.drawLine(QPointF(middle + 20, y + 3), QPointF(right - 30, y + 3));

    painter.setPen(QPen(ink, 1.2));
    for (const int side : {-1, 1}) {
        const qreal end = side < 0 ? left + 14 : right - 14;
        QPainterPath curl;
        curl.moveTo(end, y);
        curl.cubicTo(end - side * 10, y, end - side * 12, y - 8, end - side * 5, y - 8);
        curl.cubicTo(end, y - 8, end + side * 1, y - 3, end - side * 3, y - 2);
        painter.drawPath(curl);
    }

    QPainterPath diamond;
    diamond.moveTo(middle, y - 6);
    diamond.lineTo(middle + 9, y);
    diamond.lineTo(middle, y + 6);
    diamond.lineTo(middle - 9, y);
    diamond.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(diamond);
}

void paintPin(QPainter &painter, const QRectF &rect)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 200, 205));
    painter.drawRect(rect);
}

void paintChip(QPainter &painter, const QRectF &body, int pinsPerSide, const QString &marking)
{
    const qreal pitch = body.width() / pinsPerSide;
    for (int i = 0; i < pinsPerSide; ++i) {
        const qreal x = body.left() + pitch * i + pitch * 0.3;
        paintPin(painter, QRectF(x, body.top() - 3, pitch * 0.4, 3));
        paintPin(painter, QRectF(x, body.bottom(), pitch * 0.4, 3));
    }
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(60, 60, 64));
    shade.setColorAt(1, QColor(22, 22, 26));
    painter.setPen(QPen(QColor(10, 10, 10), 0.6));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 1.5, 1.5);
    // Pin-1 notch and dot.
    painter.setBrush(QColor(90, 90, 96));
    painter.setPen(Qt::NoPen);
    painter.drawPie(QRectF(body.left() - 3, body.center().y() - 3, 6, 6), -90 * 16, 180 * 16);
    painter.drawEllipse(QRectF(body.left() + 3, body.bottom() - 6, 3, 3));

    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(5, static_cast<int>(body.height() * 0.3)));
    painter.setFont(font);
    painter.setPen(QColor(215, 215, 215));
    painter.drawText(body, Qt::AlignCenter, marking);
}

void paintRelay(QPainter &painter, const QRectF &body)
{
    QLinearGradient shade(body.topLeft(), body.bottomRight());
    shade.setColorAt(0, QColor(70, 120, 210));
    shade.setColorAt(1, QColor(25, 60, 150));
    painter.setPen(QPen(QColor(15, 35, 90), 0.8));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 1.5, 1.5);
    painter.setPen(QPen(QColor(170, 200, 250), 0.6));
    painter.drawLine(QPointF(body.left() + 3, body.top() + 4),
                     QPointF(body.right() - 3, body.top() + 4));
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(5);
    painter.setFont(font);
    painter.setPen(QColor(230, 240, 255));
    painter.drawText(body.adjusted(0, 5, 0, 0), Qt::AlignCenter, QStringLiteral("12V"));
}

void paintTerminalBlock(QPainter &painter, const QRectF &body)
{
    painter.setPen(QPen(QColor(10, 70, 30), 0.8));
    painter.setBrush(QColor(30, 150, 70));
    painter.drawRect(body);
    const qreal screw = body.height() * 0.55;
    for (int i = 0; i < 2; ++i) {
        const QPointF centre(body.left() + body.width() * (i == 0 ? 0.27 : 0.73),
                             body.center().y());
        painter.setPen(QPen(QColor(90, 90, 90), 0.6));
        painter.setBrush(QColor(190, 190, 195));
        painter.drawEllipse(centre, screw / 2, screw / 2);
        painter.setPen(QPen(QColor(80, 80, 80), 0.8));
        painter.drawLine(centre - QPointF(screw / 2.5, 0), centre + QPointF(screw / 2.5, 0));
    }
}

void paintCapacitor(QPainter &painter, const QPointF &centre, qreal radius)
{
    QRadialGradient can(centre - QPointF(radius / 3, radius / 3), radius * 1.3);
    can.setColorAt(0, QColor(90, 90, 100));
    can.setColorAt(1, QColor(20, 20, 30));
    painter.setPen(QPen(QColor(10, 10, 10), 0.6));
    painter.setBrush(can);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(200, 200, 210), 0.8));
    painter.drawLine(centre + QPointF(-radius * 0.6, -radius * 0.2),
                     centre + QPointF(radius * 0.6, -radius * 0.2));
    painter.drawLine(centre + QPointF(-radius * 0.2, -radius * 0.6),
                     centre + QPointF(radius * 0.2, radius * 0.6));
}

}  // namespace

void paintTitleDrawing(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QColor ink(30, 52, 110);
    const qreal ruleMargin = bounds.width() * 0.04;
    paintOrnamentalRule(painter, bounds.left() + ruleMargin, bounds.right() - ruleMargin,
                        bounds.top() + bounds.height() * 0.16, ink);
    paintOrnamentalRule(painter, bounds.left() + ruleMargin, bounds.right() - ruleMargin,
                        bounds.top() + bounds.height() * 0.84, ink);

    // The lettering as outlines, scaled to fill the space between the rules whatever serif
    // face the system provides.
    QFont font(QStringLiteral("Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(100);
    font.setBold(true);
    font.setItalic(true);
    QPainterPath text;
    text.addText(0, 0, font, titleText());
    const QRectF natural = text.boundingRect();
    const QRectF space(bounds.left() + bounds.width() * 0.03, bounds.top() + bounds.height() * 0.27,
                       bounds.width() * 0.94, bounds.height() * 0.46);
    const qreal scale =
        std::min(space.width() / natural.width(), space.height() / natural.height());
    QTransform place;
    place.translate(space.center().x(), space.center().y());
    place.scale(scale, scale);
    place.translate(-natural.center().x(), -natural.center().y());
    const QPainterPath lettering = place.map(text);

    // Shadow, then the gilded face with a dark outline.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawPath(lettering.translated(2.5, 2.5));
    const QRectF box = lettering.boundingRect();
    QLinearGradient gilt(box.topLeft(), box.bottomLeft());
    gilt.setColorAt(0.0, QColor(255, 236, 160));
    gilt.setColorAt(0.45, QColor(214, 160, 40));
    gilt.setColorAt(0.55, QColor(176, 118, 20));
    gilt.setColorAt(1.0, QColor(240, 200, 90));
    painter.setBrush(gilt);
    painter.setPen(QPen(ink, std::max(0.8, scale * 2.2)));
    painter.drawPath(lettering);

    painter.restore();
}

void paintBoardIllustration(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 241 x 163 grid, scaled to the bounds.
    painter.translate(bounds.topLeft());
    painter.scale(bounds.width() / 241.0, bounds.height() / 163.0);

    // Bench and board.
    painter.fillRect(QRectF(0, 0, 241, 163), QColor(58, 50, 44));
    QLinearGradient laminate(0, 0, 241, 163);
    laminate.setColorAt(0, QColor(32, 120, 62));
    laminate.setColorAt(1, QColor(16, 84, 42));
    painter.setPen(QPen(QColor(10, 50, 25), 1));
    painter.setBrush(laminate);
    painter.drawRoundedRect(QRectF(5, 5, 231, 153), 5, 5);
    for (const QPointF &hole :
         {QPointF(12, 12), QPointF(229, 12), QPointF(12, 151), QPointF(229, 151)}) {
        painter.setPen(QPen(QColor(215, 180, 90), 2));
        painter.setBrush(QColor(58, 50, 44));
        painter.drawEllipse(hole, 3.2, 3.2);
    }

    // Copper tracks under the solder mask.
    painter.setPen(QPen(QColor(70, 165, 95), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const qreal x = 22 + i * 34.5;
        QPainterPath track;
        track.moveTo(24 + i * 14, 73);
        track.lineTo(24 + i * 14, 84 + i);
        track.lineTo(x, 96);
        track.lineTo(x, 103);
        painter.drawPath(track);
    }
    for (int i = 0; i < 4; ++i) {
        QPainterPath track;
        track.moveTo(108, 48 + i * 4);
        track.lineTo(128 + i * 3, 48 + i * 4);
        track.lineTo(136 + i * 3, 40 + i * 4);
        painter.drawPath(track);
    }

    // Power input: electrolytic capacitors and the regulator.
    paintCapacitor(painter, QPointF(26, 26), 8);
    paintCapacitor(painter, QPointF(44, 26), 6);
    painter.setPen(QPen(QColor(15, 15, 15), 0.6));
    painter.setBrush(QColor(40, 40, 44));
    painter.drawRect(QRectF(53, 17, 14, 11));
    painter.setBrush(QColor(190, 190, 195));
    painter.drawRect(QRectF(52, 14, 16, 4));

    // The microcontroller, its crystal and a status LED.
    paintChip(painter, QRectF(16, 42, 92, 24), 20, QStringLiteral("µC"));
    painter.setPen(QPen(QColor(120, 120, 125), 0.6));
    QLinearGradient quartz(78, 20, 78, 30);
    quartz.setColorAt(0, QColor(235, 235, 240));
    quartz.setColorAt(1, QColor(150, 150, 158));
    painter.setBrush(quartz);
    painter.drawRoundedRect(QRectF(76, 21, 22, 10), 5, 5);
    QRadialGradient led(QPointF(114, 26), 5);
    led.setColorAt(0, QColor(255, 190, 190));
    led.setColorAt(1, QColor(200, 20, 20));
    painter.setPen(QPen(QColor(110, 10, 10), 0.6));
    painter.setBrush(led);
    painter.drawEllipse(QPointF(114, 26), 4, 4);

    // The real-time-clock module: a small blue board with its clock chip, quartz and backup
    // cell, plugged in through a row of header pins.
    painter.setPen(QPen(QColor(10, 30, 80), 0.8));
    painter.setBrush(QColor(28, 70, 160));
    painter.drawRoundedRect(QRectF(134, 12, 96, 62), 3, 3);
    for (int i = 0; i < 6; ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(20, 20, 20));
        painter.drawRect(QRectF(138 + i * 6, 66, 5, 5));
        painter.setBrush(QColor(220, 190, 90));
        painter.drawRect(QRectF(139.5 + i * 6, 67.5, 2, 2));
    }
    paintChip(painter, QRectF(142, 24, 24, 14), 4, QStringLiteral("RTC"));
    painter.setPen(QPen(QColor(120, 120, 125), 0.6));
    painter.setBrush(quartz);
    painter.drawRoundedRect(QRectF(144, 46, 18, 7), 3.5, 3.5);
    QRadialGradient cell(QPointF(192, 36), 30);
    cell.setColorAt(0, QColor(245, 245, 248));
    cell.setColorAt(0.7, QColor(175, 178, 185));
    cell.setColorAt(1, QColor(120, 122, 130));
    painter.setPen(QPen(QColor(80, 80, 88), 1));
    painter.setBrush(cell);
    painter.drawEllipse(QPointF(198, 40), 24, 24);
    painter.setPen(QPen(QColor(110, 110, 118), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(198, 40), 19, 19);
    QFont cellFont(QStringLiteral("Sans Serif"));
    cellFont.setStyleHint(QFont::SansSerif);
    cellFont.setPixelSize(7);
    cellFont.setBold(true);
    painter.setFont(cellFont);
    painter.setPen(QColor(70, 70, 78));
    painter.drawText(QRectF(178, 28, 40, 10), Qt::AlignCenter, QStringLiteral("+"));
    painter.drawText(QRectF(174, 37, 48, 10), Qt::AlignCenter, QStringLiteral("3V"));

    // The mode switch: red body, two white levers.
    painter.setPen(QPen(QColor(100, 10, 10), 0.8));
    painter.setBrush(QColor(200, 30, 30));
    painter.drawRect(QRectF(120, 80, 16, 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(245, 245, 245));
    painter.drawRect(QRectF(122.5, 82, 4.5, 5));
    painter.drawRect(QRectF(129.5, 87, 4.5, 5));

    // Serial connector.
    painter.setPen(QPen(QColor(60, 60, 60), 0.8));
    painter.setBrush(QColor(175, 178, 185));
    painter.drawRoundedRect(QRectF(150, 80, 34, 14), 4, 4);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawRoundedRect(QRectF(154, 83, 26, 8), 3, 3);

    // Six relays and their terminal blocks along the edge.
    for (int i = 0; i < 6; ++i) {
        const qreal x = 10 + i * 37;
        paintRelay(painter, QRectF(x, 103, 31, 25));
        paintTerminalBlock(painter, QRectF(x + 2, 134, 27, 14));
    }

    painter.restore();
}

SplashPicture::SplashPicture(Kind kind, QWidget *parent) : QWidget(parent), kind_(kind) {}

namespace {

QImage loadShippedPicture(SplashPicture::Kind kind, int scale)
{
    const QString name =
        kind == SplashPicture::Kind::Title ? QStringLiteral("title") : QStringLiteral("board");
    return QImage(QStringLiteral(":/platine/splash_%1%2.png")
                      .arg(name, scale == 2 ? QStringLiteral("@2x") : QString()),
                  "PNG");
}

// Both pictures of the scale the splash will show, decoded once, by whichever thread asks
// first: the start's helper thread, or the splash when it paints before the helper got to them.
struct PicturePreload
{
    std::mutex mutex;  // guards scale
    int scale = 0;
    std::once_flag decoded;
    std::array<QImage, 2> pictures;
};

PicturePreload &picturePreload()
{
    static PicturePreload preload;
    return preload;
}

int expectedScale()
{
    PicturePreload &preload = picturePreload();
    const std::lock_guard<std::mutex> lock(preload.mutex);
    return preload.scale;
}

}  // namespace

void SplashPicture::expectShippedPictures(int scale)
{
    PicturePreload &preload = picturePreload();
    const std::lock_guard<std::mutex> lock(preload.mutex);
    if (preload.scale == 0 && scale >= 1 && scale <= 2)
        preload.scale = scale;
}

void SplashPicture::decodeExpectedPictures()
{
    const int scale = expectedScale();
    if (scale == 0)
        return;
    PicturePreload &preload = picturePreload();
    std::call_once(preload.decoded, [&preload, scale] {
        preload.pictures = {loadShippedPicture(Kind::Title, scale),
                            loadShippedPicture(Kind::Board, scale)};
    });
}

QImage SplashPicture::shippedPicture(Kind kind, int scale)
{
    if (scale < 1 || scale > 2)
        return {};
    // Each loaded on first use only: a screen needs one scale.
    static std::optional<QImage> pictures[2][2];
    std::optional<QImage> &picture = pictures[kind == Kind::Title ? 0 : 1][scale - 1];
    if (!picture && expectedScale() == scale) {
        decodeExpectedPictures();  // waits for the helper thread when it is decoding them
        const PicturePreload &preload = picturePreload();
        pictures[0][scale - 1] = preload.pictures[0];
        pictures[1][scale - 1] = preload.pictures[1];
    }
    if (!picture)
        picture.emplace(loadShippedPicture(kind, scale));
    return *picture;
}

QImage SplashPicture::drawPicture(Kind kind, const QSize &size, int scale)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    if (kind == Kind::Title)
        paintTitleDrawing(painter, bounds);
    else
        paintBoardIllustration(painter, bounds);
    return image;
}

void SplashPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Device pixels: the shipped picture drawn pixel for pixel where one fits.
    const int scale = devicePixelRatioF() > 1.0 ? 2 : 1;
    const QImage shipped = shippedPicture(kind_, scale);
    if (!shipped.isNull() && shipped.size() == size() * scale) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), shipped);
    } else if (kind_ == Kind::Title) {
        paintTitleDrawing(painter, rect());
    } else {
        paintBoardIllustration(painter, rect());
    }
}

}  // namespace platine
