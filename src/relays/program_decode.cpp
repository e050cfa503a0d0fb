#include "relays/program_decode.h"

#include "relays/program_frame.h"

namespace platine {

namespace {

class FrameReader
{
public:
    explicit FrameReader(const QByteArray &frame) : frame_(frame) {}

    bool ok() const { return ok_; }

    quint8 byte(int tableIndex) { return quint8(frame_.at(tableIndex + 1)); }

    // Two decimal digits from one byte; "00" and a failure when a nibble is above 9.
    QString digits(int tableIndex)
    {
        const quint8 value = byte(tableIndex);
        if ((value >> 4) > 9 || (value & 0x0F) > 9) {
            ok_ = false;
            return QStringLiteral("00");
        }
        return QString::number(value >> 4) + QString::number(value & 0x0F);
    }

    void fail() { ok_ = false; }

private:
    const QByteArray &frame_;
    bool ok_ = true;
};

// Where each relay's block starts in the program table, in relay order.
constexpr int kBlockStart[kRelayCount] = {0, 14, 28, 59, 90, 107};

}  // namespace

std::optional<RelayProgram> programFromFrame(const QByteArray &frame)
{
    if (frame.size() != kProgramFrameSize || frame.at(0) != 'B')
        return std::nullopt;
    FrameReader read(frame);
    RelayProgram program;
    for (const RelayLayout &layout : relayLayouts()) {
        const int start = kBlockStart[layout.relay - 1];
        for (int row = 0; row < kTimeSlotsPerRelay; ++row)
            program.texts[size_t(layout.firstTimeSlot + row)] =
                read.digits(start + 2 * row) + u':' + read.digits(start + 2 * row + 1) +
                QStringLiteral(":00");
        int next = start + 2 * kTimeSlotsPerRelay;
        if (layout.kind == RelayKind::Dated) {
            for (int row = 0; row < kTimeSlotsPerRelay; ++row, next += 3)
                program.texts[size_t(layout.firstDateSlot + row)] =
                    read.digits(next) + u'/' + read.digits(next + 1) + QStringLiteral("/20") +
                    read.digits(next + 2);
        } else {
            const int code = read.byte(next++);
            if (code > 10)
                read.fail();
            program.dayChoices[size_t(layout.dayChoice)] = code - 1;
            if (layout.kind == RelayKind::Month) {
                if (read.byte(next) != 0)
                    read.fail();
                program.texts[size_t(layout.monthYearSlot)] =
                    read.digits(next + 1) + QStringLiteral("/20") + read.digits(next + 2);
                next += 3;
            }
        }
        const quint8 enable = read.byte(next);
        if (enable > 1)
            read.fail();
        program.enables[size_t(layout.enableIndex)] = enable;
    }
    if (!read.ok())
        return std::nullopt;
    return program;
}

}  // namespace platine
