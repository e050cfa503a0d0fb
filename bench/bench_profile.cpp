// The settings file param.ini: reading its 61 entries (the 60 program sections and "Port COM")
// as the tool's start does, and writing the 60 program values as an upload does.

#include "store/port_setting.h"
#include "store/profile_file.h"
#include "store/program_file.h"
#include "support/relay_programs.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/stat.h>

using namespace platine;

namespace {

RelayProgram programWithHour(int hour)
{
    RelayProgram program = test::fullProgram(hour);
    program.dayChoices = {8, 7, 9, -1};
    program.enables = {1, 0, 1, 2, 1, 0};
    return program;
}

// A full param.ini in a folder of its own: "Port COM" and the 60 program sections.
struct SettingsFile
{
    QTemporaryDir dir;
    QString path;

    SettingsFile()
    {
        path = dir.filePath(QStringLiteral("param.ini"));
        if (!writePortSetting(path, QStringLiteral("3")).ok ||
            !writeProgram(path, programWithHour(8)).ok) {
            path.clear();
        }
    }
};

ino_t inodeOf(const QString &path)
{
    struct stat info
    {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

bool ready(benchmark::State &state, const SettingsFile &file)
{
    if (file.path.isEmpty()) {
        state.SkipWithError("cannot write the settings file");
        return false;
    }
    return true;
}

// The start of the tool: the program (one read of the file) and the port entry.
void readSettings(benchmark::State &state)
{
    const SettingsFile file;
    if (!ready(state, file))
        return;
    for (auto _ : state) {
        ProgramReadResult program = readProgram(file.path);
        PortSetting port = readPortSetting(file.path);
        benchmark::DoNotOptimize(program);
        benchmark::DoNotOptimize(port);
    }
    state.SetItemsProcessed(state.iterations() * 61);
}
BENCHMARK(readSettings);

// The 61 entries one by one, each read opening the file again.
void readSettingsEntryByEntry(benchmark::State &state)
{
    const SettingsFile file;
    if (!ready(state, file))
        return;
    QList<ProfileEntry> entries = programEntries(programWithHour(8));
    entries.append({QStringLiteral("Port COM"), QStringLiteral("valeur"), QString()});
    for (auto _ : state) {
        for (const ProfileEntry &entry : entries) {
            QString value = readProfileString(file.path, entry.section, entry.key);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * entries.size());
}
BENCHMARK(readSettingsEntryByEntry);

// The upload's write of 60 values, each time with new values: one atomic replacement.
void writeProgramChanged(benchmark::State &state)
{
    const SettingsFile file;
    if (!ready(state, file))
        return;
    const RelayProgram programs[2] = {programWithHour(9), programWithHour(10)};
    int turn = 0;
    for (auto _ : state) {
        const ProfileWriteResult result = writeProgram(file.path, programs[turn]);
        if (!result.ok) {
            state.SkipWithError("write failed");
            break;
        }
        turn = 1 - turn;
    }
    state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(writeProgramChanged);

// The same write when the file already holds the values: nothing is rewritten.
void writeProgramUnchanged(benchmark::State &state)
{
    const SettingsFile file;
    if (!ready(state, file))
        return;
    const RelayProgram program = programWithHour(8);
    const ino_t before = inodeOf(file.path);
    for (auto _ : state) {
        const ProfileWriteResult result = writeProgram(file.path, program);
        if (!result.ok) {
            state.SkipWithError("write failed");
            break;
        }
    }
    // An atomic replacement gives the file a new inode: there must have been none.
    if (inodeOf(file.path) != before)
        state.SkipWithError("the file was rewritten although it held the values");
    state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(writeProgramUnchanged);

}  // namespace
