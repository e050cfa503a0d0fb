// The week chart for a full timetable: its model built, then painted at the window's size.
// Median over 100 runs; it has to stay well under one frame (16 ms).

#include "panels/week_chart_view.h"
#include "relays/week_chart.h"
#include "support/relay_programs.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace platine;

namespace {

// Every relay enabled with three windows on every day of the week shown, and a few remarks.
RelayProgram fullProgram()
{
    RelayProgram program = test::programOnEveryRelay(
        {QStringLiteral("06:30:00"), QStringLiteral("08:15:00"), QStringLiteral("11:45:00"),
         QStringLiteral("13:30:00"), QStringLiteral("18:00:00"), QStringLiteral("23:30:00")},
        {}, QStringLiteral("12/2026"), 9, true);
    for (const RelayLayout &layout : relayLayouts()) {
        for (int row = 0; layout.firstDateSlot >= 0 && row < kTimeSlotsPerRelay; ++row)
            program.texts[size_t(layout.firstDateSlot + row)] =
                QStringLiteral("%1/12/2026").arg(7 + row + row % 2, 2, 10, QLatin1Char('0'));
        program.enables[size_t(layout.enableIndex)] = layout.relay % 3 == 0 ? 0 : 1;
    }
    program.texts[3] = QStringLiteral("25:00:00");
    program.texts[44] = QStringLiteral("06:00:00");
    return program;
}

void buildAndPaintWeekChart(benchmark::State &state)
{
    const RelayProgram program = fullProgram();
    const QDate today(2026, 12, 9);
    QImage image(1000, 680, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const WeekChart chart = buildWeekChart(program, today, today);
        QPainter painter(&image);
        paintWeekChart(painter, image.rect(), chart);
        benchmark::DoNotOptimize(chart.bars.size());
    }
    state.counters["bars"] = double(buildWeekChart(program, today, today).bars.size());
}
BENCHMARK(buildAndPaintWeekChart)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(100)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);  // fonts for the painting
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
