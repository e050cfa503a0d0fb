// Encoding the two frames the tool sends to the board.

#include "link/clock_frame.h"
#include "relays/program_frame.h"
#include "support/relay_programs.h"

#include <QDateTime>

#include <benchmark/benchmark.h>

using namespace platine;

namespace {

// A full timetable that encodes: every relay enabled, every field filled.
RelayProgram fullProgram()
{
    RelayProgram program = test::fullProgram();
    program.dayChoices = {8, 7, 9, 0};
    program.enables = {1, 1, 1, 1, 1, 1};
    return program;
}

void encodeClock(benchmark::State &state)
{
    const ClockFields fields = clockFieldsFor(QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)));
    for (auto _ : state) {
        ClockFrameResult result = encodeClockFrame(fields);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(encodeClock);

// What "heure PC" then "Programmation" do: the fields from the PC clock, then the frame.
void clockFieldsAndFrame(benchmark::State &state)
{
    const QDateTime moment(QDate(2007, 11, 23), QTime(14, 37, 52));
    for (auto _ : state) {
        ClockFrameResult result = encodeClockFrame(clockFieldsFor(moment));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(clockFieldsAndFrame);

void encodeProgramFrame(benchmark::State &state)
{
    const RelayProgram program = fullProgram();
    for (auto _ : state) {
        const ProgramEncodeResult result = encodeProgram(program);
        QByteArray frame = programFrame(result.bytes);
        benchmark::DoNotOptimize(frame);
    }
    state.SetBytesProcessed(state.iterations() * kProgramFrameSize);
}
BENCHMARK(encodeProgramFrame);

}  // namespace
