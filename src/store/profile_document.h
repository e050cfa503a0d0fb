#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace platine {

// The bytes of one profile (INI) file, held line by line so that a change touches only the
// entry it is about:
// - a line whose first non-blank character is "[" and that holds a "]" opens a section; the
//   name runs to the last "]" (what follows it is ignored);
// - a line whose first non-blank character is ";" is a comment;
// - any other line holding "=" gives a key (before the first "=") and its value (after it);
//   a line without "=" gives nothing;
// - names and values lose the blanks and tabs around them; names compare case-insensitively
//   for ASCII letters; the first of two sections or keys of the same name is the one used;
// - lines may end in CR LF, LF or CR, and the last one may have no end at all.
// The text is Windows-1252, unless the file starts with a byte-order mark: UTF-8 after EF BB BF,
// UTF-16 little-endian after FF FE (as Notepad and PowerShell write them). Such a file keeps its
// mark and its encoding when it is written back.
// Parsing and changes take time in proportion to the size of the file; a section is found at
// once (through an index of their names), a key in time in proportion to its section's size.
class ProfileDocument
{
public:
    enum class Encoding : quint8 { Windows1252, Utf8, Utf16LittleEndian };

    ProfileDocument() = default;
    explicit ProfileDocument(const QByteArray &bytes);

    Encoding encoding() const { return encoding_; }

    // The value as the Windows profile functions return it: blanks and tabs at both ends
    // removed, ended by a NUL if it holds one, and without one pair of matching quotes (' or ")
    // around it. Not cut to any length. Nothing when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Whether the file holds a section of that name (even an empty one).
    bool hasSection(QStringView section) const;

    // Replaces the value in place (keeping the key's spelling, the spacing around "=", the
    // blanks after the value and the line end), or adds the key after the last non-blank line
    // of its section, or adds the section and the key at the end. New lines end in CR LF.
    // CR, LF and NUL in the value (and in the names) are written as blanks: they would cut the
    // line and could open sections of their own. Returns false, changing nothing, when the
    // entry already holds the value (compared without blanks at its ends).
    bool setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const;

private:
    enum class LineKind : quint8 { Other, Header, Key };
    enum class LineEnd : quint8 { None, CrLf, Lf, Cr };  // None: a last line without an end

    // One line: its text is storage_[start, start + size); names and values are given from
    // the start of the line.
    struct Line
    {
        qsizetype start = 0;
        qsizetype size = 0;
        LineEnd end = LineEnd::None;
        LineKind kind = LineKind::Other;
        // Header and key lines: the name without the blanks around it. Key lines: the value
        // without the blanks around it.
        qsizetype nameStart = 0;
        qsizetype nameEnd = 0;
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;
    };

    QByteArrayView textOf(const Line &line) const
    {
        return QByteArrayView(storage_).sliced(line.start, line.size);
    }
    QByteArrayView nameOf(const Line &line) const
    {
        return textOf(line).sliced(line.nameStart, line.nameEnd - line.nameStart);
    }
    QByteArrayView valueOf(const Line &line) const
    {
        return textOf(line).sliced(line.valueStart, line.valueEnd - line.valueStart);
    }
    // A line holding text, kept at the end of storage_.
    Line newLine(QByteArrayView text, LineEnd end);

    // Bytes of storage_ for a name or a value written into the file; see setValue().
    QByteArray storedBytes(QStringView text) const;
    QByteArray storedName(QStringView name) const;
    QString decoded(QByteArrayView bytes) const;

    void classify(Line &line) const;
    // Rebuilds headers_ and sections_ from the lines.
    void indexHeaders();
    void indexSections();
    std::optional<std::size_t> findSection(QByteArrayView name) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, QByteArrayView name) const;

    // The file's bytes after its byte-order mark (UTF-16 files: turned into UTF-8, see
    // toBytes()), followed by the text of the lines changed or added since.
    QByteArray storage_;
    Encoding encoding_ = Encoding::Windows1252;
    QByteArray oddTail_;  // UTF-16 files: a last byte that makes no whole code unit
    std::vector<Line> lines_;
    std::vector<std::size_t> headers_;  // the indexes of the header lines, ascending
    // Each section's name, its ASCII letters in lower case: the position in headers_ of the
    // first header of that name.
    QHash<QByteArray, std::size_t> sections_;
};

}  // namespace platine
