#include "relays/week_chart_view.h"

#include "link/days.h"
#include "widgets/field_mark.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

namespace platine {

namespace {

constexpr int kDays = 7;
constexpr int kMaxListedRemarks = 10;

QColor outlineColour()
{
    return remarkMarkColour().darker(150);
}

// Sizes derived from the font, so the same drawing fits a window, an image and a page.
struct Metrics
{
    explicit Metrics(const QFontMetrics &font)
        : line(font.height()),
          // The longest day label, in bold for today, and a margin either side.
          dayColumn(font.horizontalAdvance(QStringLiteral("Mercredi 30/12")) * 11 / 10 +
                    line * 3 / 2),
          laneColumn(font.horizontalAdvance(QStringLiteral("R6")) + line / 3)
    {}
    int line;
    int dayColumn;
    int laneColumn;
};

void drawBar(QPainter &painter, const QRectF &rect, const ChartBar &bar)
{
    const QColor colour = relayColour(bar.relay);
    if (bar.active) {
        painter.fillRect(rect, colour);
    } else {
        QColor pale = colour;
        pale.setAlpha(50);
        painter.fillRect(rect, pale);
        painter.fillRect(rect, QBrush(colour, Qt::BDiagPattern));
    }
    if (bar.flagged) {
        painter.save();
        painter.setPen(QPen(outlineColour(), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
        painter.restore();
    }
}

void drawLegend(QPainter &painter, const QRect &area, const Metrics &m)
{
    int x = area.left();
    const int y = area.top();
    const auto item = [&](const ChartBar &sample, const QString &text) {
        const QRectF swatch(x, y + m.line * 0.2, m.line * 1.6, m.line * 0.6);
        drawBar(painter, swatch, sample);
        x += int(swatch.width()) + m.line / 3;
        painter.drawText(x, y, painter.fontMetrics().horizontalAdvance(text) + 2, m.line,
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        x += painter.fontMetrics().horizontalAdvance(text) + m.line;
    };
    ChartBar sample;
    sample.relay = 1;
    sample.active = true;
    item(sample, QStringLiteral("relais actif"));
    sample.active = false;
    item(sample, QStringLiteral("relais inactif"));
    sample.active = true;
    sample.relay = 3;
    sample.flagged = true;
    item(sample, QStringLiteral("remarque"));
    sample.flagged = false;
    for (int relay = 1; relay <= kRelayCount; relay += 2) {
        sample.relay = relay;
        item(sample, QStringLiteral("R%1, R%2").arg(relay).arg(relay + 1));
    }
}

}  // namespace

QColor relayColour(int relay)
{
    if (relay <= 2)
        return QColor(0, 0, 255);
    if (relay <= 4)
        return QColor(255, 0, 255);
    return QColor(255, 0, 0);
}

void paintWeekChart(QPainter &painter, const QRect &area, const WeekChart &chart)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setPen(Qt::black);
    const Metrics m(painter.fontMetrics());
    const QLocale french(QLocale::French, QLocale::France);

    // Title, then the remarks and the legend at the bottom; the grid takes what is left.
    QRect title(area.left() + m.line / 2, area.top(), area.width() - m.line, m.line * 3 / 2);
    const QFont plain = painter.font();
    QFont bold = plain;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Vue de la %1").arg(weekCaption(chart.monday)));
    painter.setFont(plain);

    const qsizetype listed = std::min<qsizetype>(chart.findings.size(), kMaxListedRemarks);
    const int remarkLines =
        chart.findings.isEmpty() ? 1 : int(listed) + (chart.findings.size() > listed ? 2 : 1);
    const int bottomHeight = m.line * (2 + remarkLines);
    const QRect grid(area.left() + m.dayColumn + m.laneColumn, title.bottom() + m.line * 3 / 2,
                     area.width() - m.dayColumn - m.laneColumn - m.line,
                     area.height() - title.height() - m.line * 3 / 2 - bottomHeight);
    if (grid.width() <= 0 || grid.height() <= 0) {
        painter.restore();
        return;
    }
    const double dayHeight = grid.height() / double(kDays);
    const double laneHeight = dayHeight / (kRelayCount + 1);  // a gap between the days
    const auto xOf = [&](int minute) {
        return grid.left() + grid.width() * double(minute) / kMinutesPerDay;
    };

    // Hours.
    const int hourStep =
        painter.fontMetrics().horizontalAdvance(QStringLiteral("00h")) * 2 > grid.width() / 24 ? 2
                                                                                               : 1;
    for (int hour = 0; hour <= 24; ++hour) {
        const double x = xOf(hour * 60);
        painter.setPen(QColor(hour % 6 == 0 ? 150 : 215, hour % 6 == 0 ? 150 : 215,
                              hour % 6 == 0 ? 150 : 215));
        painter.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
        if (hour % hourStep == 0) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - m.line * 2, grid.top() - m.line * 1.2, m.line * 4, m.line),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QStringLiteral("%1h").arg(hour, 2, 10, QLatin1Char('0')));
        }
    }

    // Days, each with its six lanes.
    for (int day = 0; day < kDays; ++day) {
        const QDate date = chart.monday.addDays(day);
        const double top = grid.top() + day * dayHeight;
        const QRectF row(grid.left(), top, grid.width(), laneHeight * kRelayCount);
        if (date == chart.today)
            painter.fillRect(row, QColor(255, 250, 205));
        painter.setPen(QColor(200, 200, 200));
        painter.drawRect(row);
        painter.setPen(Qt::black);
        if (date == chart.today) {
            QFont font = painter.font();
            font.setBold(true);
            painter.save();
            painter.setFont(font);
        }
        painter.drawText(
            QRectF(area.left() + m.line / 2, top, m.dayColumn, row.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("%1 %2").arg(dayNameForQtDayOfWeek(date.dayOfWeek()),
                                        french.toString(date, QStringLiteral("dd/MM"))));
        if (date == chart.today)
            painter.restore();
        QFont small = painter.font();
        if (small.pointSizeF() > 0)
            small.setPointSizeF(small.pointSizeF() * 0.7);
        else
            small.setPixelSize(std::max(6, small.pixelSize() * 7 / 10));
        painter.save();
        painter.setFont(small);
        for (int lane = 0; lane < kRelayCount; ++lane) {
            painter.setPen(relayColour(lane + 1));
            painter.drawText(QRectF(grid.left() - m.laneColumn, top + lane * laneHeight,
                                    m.laneColumn - 2, laneHeight),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("R%1").arg(lane + 1));
        }
        painter.restore();
    }

    for (const ChartBar &bar : chart.bars) {
        const double top = grid.top() + bar.day * dayHeight + (bar.relay - 1) * laneHeight;
        const QRectF rect(QPointF(xOf(bar.startMinute), top + 1),
                          QPointF(xOf(bar.endMinute), top + laneHeight - 1));
        drawBar(painter, rect, bar);
    }

    // Legend and remarks.
    painter.setPen(Qt::black);
    drawLegend(
        painter,
        QRect(area.left() + m.line / 2, grid.bottom() + m.line / 2, area.width() - m.line, m.line),
        m);
    int y = grid.bottom() + m.line * 2;
    const QRect textArea(area.left() + m.line / 2, 0, area.width() - m.line, m.line);
    const auto line = [&](const QString &text, const QColor &colour) {
        painter.setPen(colour);
        painter.drawText(textArea.translated(0, y), Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, textArea.width()));
        y += m.line;
    };
    if (chart.findings.isEmpty())
        line(QStringLiteral("Aucune remarque sur le programme."), Qt::black);
    else
        line(chart.findings.size() == 1
                 ? QStringLiteral("1 remarque :")
                 : QStringLiteral("%1 remarques :").arg(chart.findings.size()),
             Qt::black);
    for (qsizetype i = 0; i < listed; ++i)
        line(QStringLiteral("• ") + chart.findings[i].text(), outlineColour().darker(130));
    if (chart.findings.size() > listed)
        line(QStringLiteral("… et %1 autres").arg(chart.findings.size() - listed), Qt::black);
    painter.restore();
}

WeekChartView::WeekChartView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("weekChartView"));
    setMinimumSize(640, 420);
}

void WeekChartView::setChart(const WeekChart &chart)
{
    chart_ = chart;
    update();
}

QSize WeekChartView::sizeHint() const
{
    return {1000, 680};
}

void WeekChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintWeekChart(painter, rect(), chart_);
}

}  // namespace platine
