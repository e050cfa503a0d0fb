#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platine {

// The PC's 8-bit code page of the settings and program files (Windows-1252). Decoding never
// fails: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
// the control characters of the same number, and encoding turns those back into the same
// bytes, so every byte of a file survives a read and a write.
QString decodeWindows1252(QByteArrayView bytes);

// One byte per character; a character the code page cannot hold is stored as "?" (one "?"
// for a character outside the Basic Multilingual Plane too).
QByteArray encodeWindows1252(QStringView text);

}  // namespace platine
