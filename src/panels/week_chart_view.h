#pragma once

#include "relays/week_chart.h"

#include <QWidget>

class QPainter;
class QRect;

namespace platine {

// Draws a week chart into area: a title, the seven days from top to bottom with one lane per
// relay, the 24 hours from left to right, a legend and the remarks under it. Active relays are
// filled in their caption colour, inactive ones pale and hatched; windows with a remark carry an
// amber outline. Used on screen, in image and PDF files and on paper alike. The labels of the
// grid (hours, days, lanes) are laid out from the font's metrics; labels, when given, receives
// the rectangle each of them takes.
void paintWeekChart(QPainter &painter, const QRect &area, const WeekChart &chart,
                    QList<QRectF> *labels = nullptr);

// The colour of a relay's caption: blue for the weekly relays, magenta for the dated ones, red
// for the month relays, each dark enough to read on the chart's white.
QColor relayColour(int relay);
// The outline of a window with a remark, and the remarks' text.
QColor remarkOutlineColour();
// The chart's own backgrounds: the whole chart, and today's row.
QColor weekChartBackground();
QColor weekChartTodayBackground();

// The smallest area in which the chart's labels keep their font and do not overlap.
QSize weekChartMinimumSize(const QFont &font, const WeekChart &chart);

// The widget that shows a week chart.
class WeekChartView : public QWidget
{
    Q_OBJECT

public:
    explicit WeekChartView(QWidget *parent = nullptr);

    void setChart(const WeekChart &chart);
    const WeekChart &chart() const { return chart_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    WeekChart chart_;
};

}  // namespace platine
