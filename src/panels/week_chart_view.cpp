#include "panels/week_chart_view.h"

#include "link/days.h"
#include "widgets/contrast.h"
#include "widgets/field_mark.h"
#include "widgets/relay_colours.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace platine {

namespace {

constexpr int kDays = 7;
constexpr int kMaxListedRemarks = 10;

const QColor kBackground(Qt::white);
const QColor kToday(255, 250, 205);
// The lane labels' font, relative to the chart's; smaller still when the lanes are too low.
constexpr double kLaneFontScale = 0.7;
constexpr double kSmallestLaneFontScale = 0.45;
// Hours between two hour labels, the fewest whose labels do not touch.
constexpr int kHourSteps[] = {1, 2, 3, 4, 6, 12};

QFont scaledFont(const QFont &font, double scale)
{
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * scale);
    else
        scaled.setPixelSize(std::max(5, int(font.pixelSize() * scale)));
    return scaled;
}

// Sizes derived from the font, so the same drawing fits a window, an image and a page.
struct Metrics
{
    Metrics(const QFont &font, QPaintDevice *device)
        : line(QFontMetrics(font, device).height()),
          // The longest day label, in bold for today, and a margin either side.
          dayColumn(QFontMetrics(font, device).horizontalAdvance(QStringLiteral("Mercredi 30/12")) *
                        11 / 10 +
                    line * 3 / 2),
          laneColumn(QFontMetrics(font, device).horizontalAdvance(QStringLiteral("R6")) + line / 3),
          hourLabel(QFontMetrics(font, device).horizontalAdvance(QStringLiteral("00h")) + line / 2),
          laneLine(QFontMetrics(scaledFont(font, kLaneFontScale), device).height())
    {}
    int line;
    int dayColumn;
    int laneColumn;
    int hourLabel;  // an hour label and the gap to the next one
    int laneLine;   // a lane label's height at its usual size
};

int remarkLineCount(const WeekChart &chart)
{
    const qsizetype listed = std::min<qsizetype>(chart.findings.size(), kMaxListedRemarks);
    return chart.findings.isEmpty() ? 1 : int(listed) + (chart.findings.size() > listed ? 2 : 1);
}

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
        painter.setPen(QPen(remarkOutlineColour(), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
        painter.restore();
    }
}

// Draws the legend from area's top left corner when painter is given; returns its width.
int drawLegend(QPainter *painter, const QFontMetrics &font, const QRect &area, const Metrics &m)
{
    int x = area.left();
    const int y = area.top();
    const auto item = [&](const ChartBar &sample, const QString &text) {
        const QRectF swatch(x, y + m.line * 0.2, m.line * 1.6, m.line * 0.6);
        if (painter)
            drawBar(*painter, swatch, sample);
        x += int(swatch.width()) + m.line / 3;
        if (painter)
            painter->drawText(x, y, font.horizontalAdvance(text) + 2, m.line,
                              Qt::AlignLeft | Qt::AlignVCenter, text);
        x += font.horizontalAdvance(text) + m.line;
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
    return x - area.left();
}

}  // namespace

QColor relayColour(int relay)
{
    return readableOn(relayKindColour(relay), kBackground);
}

QColor remarkOutlineColour()
{
    return readableOn(remarkMarkColour().darker(150), kBackground);
}

QColor weekChartBackground()
{
    return kBackground;
}

QColor weekChartTodayBackground()
{
    return kToday;
}

QSize weekChartMinimumSize(const QFont &font, const WeekChart &chart)
{
    const Metrics m(font, nullptr);
    const int legend = drawLegend(nullptr, QFontMetrics(font), QRect(), m);
    const int hours = 24 / kHourSteps[1] * m.hourLabel;  // a label every two hours
    const int width = std::max(legend, m.dayColumn + m.laneColumn + hours) + m.line * 2;
    const int lanes = kDays * (kRelayCount + 1) * m.laneLine;
    const int height = m.line * 3 + lanes + m.line * (2 + remarkLineCount(chart)) + m.line;
    return {width, height};
}

void paintWeekChart(QPainter &painter, const QRect &area, const WeekChart &chart,
                    QList<QRectF> *labels)
{
    QRectF taken;
    const auto noteLabel = [&] {
        if (labels)
            labels->append(taken);
    };
    painter.save();
    painter.fillRect(area, kBackground);
    painter.setPen(Qt::black);
    const Metrics m(painter.font(), painter.device());
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
    const int bottomHeight = m.line * (2 + remarkLineCount(chart));
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

    // Hours: labels as often as they fit side by side.
    int hourStep = kHourSteps[std::size(kHourSteps) - 1];
    for (const int step : kHourSteps) {
        if (m.hourLabel <= grid.width() * step / 24.0) {
            hourStep = step;
            break;
        }
    }
    // Lane labels: the usual small font when a lane is high enough for it, else smaller, and
    // when even that does not fit, a label every so many lanes.
    QFont laneFont = scaledFont(painter.font(), kLaneFontScale);
    int laneLine = m.laneLine;
    for (double scale = kLaneFontScale; laneLine > laneHeight && scale > kSmallestLaneFontScale;) {
        scale -= 0.05;
        laneFont = scaledFont(painter.font(), scale);
        laneLine = QFontMetrics(laneFont, painter.device()).height();
    }
    const int laneStride = std::max(1, int(std::ceil(laneLine / laneHeight)));
    for (int hour = 0; hour <= 24; ++hour) {
        const double x = xOf(hour * 60);
        painter.setPen(QColor(hour % 6 == 0 ? 150 : 215, hour % 6 == 0 ? 150 : 215,
                              hour % 6 == 0 ? 150 : 215));
        painter.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
        if (hour % hourStep == 0) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - m.line * 2, grid.top() - m.line * 1.2, m.line * 4, m.line),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QStringLiteral("%1h").arg(hour, 2, 10, QLatin1Char('0')), &taken);
            noteLabel();
        }
    }

    // Days, each with its six lanes.
    for (int day = 0; day < kDays; ++day) {
        const QDate date = chart.monday.addDays(day);
        const double top = grid.top() + day * dayHeight;
        const QRectF row(grid.left(), top, grid.width(), laneHeight * kRelayCount);
        if (date == chart.today)
            painter.fillRect(row, kToday);
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
                                        french.toString(date, QStringLiteral("dd/MM"))),
            &taken);
        noteLabel();
        if (date == chart.today)
            painter.restore();
        painter.save();
        painter.setFont(laneFont);
        for (int lane = 0; lane < kRelayCount; lane += laneStride) {
            painter.setPen(relayColour(lane + 1));
            painter.drawText(QRectF(grid.left() - m.laneColumn, top + lane * laneHeight,
                                    m.laneColumn - 2, laneHeight * laneStride),
                             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("R%1").arg(lane + 1),
                             &taken);
            noteLabel();
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
        &painter, painter.fontMetrics(),
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
        line(QStringLiteral("• ") + chart.findings[i].text(), remarkOutlineColour());
    if (chart.findings.size() > listed)
        line(QStringLiteral("… et %1 autres").arg(chart.findings.size() - listed), Qt::black);
    painter.restore();
}

WeekChartView::WeekChartView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("weekChartView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void WeekChartView::setChart(const WeekChart &chart)
{
    const bool resized = chart_.findings.size() != chart.findings.size();
    chart_ = chart;
    if (resized)
        updateGeometry();  // the remarks take room under the chart
    update();
}

QSize WeekChartView::minimumSizeHint() const
{
    return weekChartMinimumSize(font(), chart_);
}

QSize WeekChartView::sizeHint() const
{
    return QSize(1000, 680).expandedTo(minimumSizeHint());
}

void WeekChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintWeekChart(painter, rect(), chart_);
}

}  // namespace platine
