#pragma once

// What the simulator prints about the frames it receives: a French text for people, or one
// JSON object per event for scripts and tests.

#include "sim/sim_decode.h"

#include <QJsonObject>
#include <QString>

namespace platine::sim {

// `applied`: whether the board's clock took the new value (it does not when the frame names
// no real date and time).
QString clockReport(const ClockSetting &setting, QByteArrayView frame, bool applied);
QString programReport(const DecodedProgram &program);
QString ignoredReport(const FrameStream::Event &event);

// {"event": "clock", "frame": "41 14 ...", "hours": "14", ..., "weekDay": 6,
//  "weekDayName": "Vendredi", "moment": "2007-11-23T14:37:52" or null, "applied": true,
//  "problems": [...]}
QJsonObject clockJson(const ClockSetting &setting, QByteArrayView frame, bool applied);
// {"event": "program", "frame": "42 ...", "relays": [{"relay": 1, "kind": "weekly",
//  "times": ["08:30", ...], "dayCode": 9, "days": "Lundi à Vendredi", "enabled": true,
//  "enableByte": 1}, ...], "problems": [...]}; dated relays carry "dates" instead of the day
// code, month relays also "monthYear" and "monthYearLead".
QJsonObject programJson(const DecodedProgram &program, QByteArrayView frame);
// {"event": "ignored", "count": 3, "bytes": "41 12 30", "reason": "incomplete"} (or
// "unknown-start").
QJsonObject ignoredJson(const FrameStream::Event &event);

}  // namespace platine::sim
