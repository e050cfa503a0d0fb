#include "store/profile_document.h"

#include "store/windows1252.h"

#include <algorithm>

namespace platine {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// [begin, end) of bytes without the blanks and tabs at its ends.
void trimSpan(const char *bytes, qsizetype &begin, qsizetype &end)
{
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    trimSpan(bytes.data(), begin, end);
    return bytes.sliced(begin, end - begin);
}

bool isBlankLine(QByteArrayView text)
{
    return trimmed(text).isEmpty();
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A name as the section index keys it: the same for every spelling sameName() takes as one.
QByteArray foldedName(QByteArrayView name)
{
    QByteArray folded = name.toByteArray();
    for (char &c : folded)
        c = asciiLower(c);
    return folded;
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const char *x = a.data();
    const char *y = b.data();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (x[i] != y[i] && asciiLower(x[i]) != asciiLower(y[i]))
            return false;
    }
    return true;
}

const QByteArray kUtf8Mark("\xEF\xBB\xBF");
const QByteArray kUtf16LittleEndianMark("\xFF\xFE");

// UTF-16 files are held as UTF-8, so that lines, names and values are found as in the other
// files. A lone surrogate, which UTF-8 cannot hold, takes the three-byte form its number would
// have, so that every code unit comes back unchanged when the file is written.
QByteArray utf16ToUtf8(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 3 / 2);
    const qsizetype units = bytes.size() / 2;
    auto unitAt = [&bytes](qsizetype i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (qsizetype i = 0; i < units; ++i) {
        char32_t code = unitAt(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code < 0x80) {
            out.append(static_cast<char>(code));
        } else if (code < 0x800) {
            out.append(static_cast<char>(0xC0 | (code >> 6)));
            out.append(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.append(static_cast<char>(0xE0 | (code >> 12)));
            out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.append(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.append(static_cast<char>(0xF0 | (code >> 18)));
            out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.append(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

// The code units of the UTF-8 text held for a UTF-16 file (see utf16ToUtf8()); a byte that
// starts no valid sequence gives U+FFFD.
QString utf8ToUtf16(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const qsizetype size = bytes.size();
    auto continuation = [&](qsizetype i) {
        return i < size && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80;
    };
    auto bits = [&](qsizetype i) { return static_cast<char32_t>(bytes[i] & 0x3F); };
    for (qsizetype i = 0; i < size;) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.append(QChar(static_cast<char16_t>(lead)));
            i += 1;
        } else if ((lead & 0xE0) == 0xC0 && continuation(i + 1)) {
            out.append(QChar(static_cast<char16_t>(((lead & 0x1F) << 6) | bits(i + 1))));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && continuation(i + 1) && continuation(i + 2)) {
            out.append(QChar(
                static_cast<char16_t>(((lead & 0x0F) << 12) | (bits(i + 1) << 6) | bits(i + 2))));
            i += 3;
        } else if ((lead & 0xF8) == 0xF0 && continuation(i + 1) && continuation(i + 2) &&
                   continuation(i + 3)) {
            const char32_t code =
                ((lead & 0x07) << 18) | (bits(i + 1) << 12) | (bits(i + 2) << 6) | bits(i + 3);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                out.append(QChar(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10))));
                out.append(QChar(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))));
            } else {
                out.append(QChar(QChar::ReplacementCharacter));
            }
            i += 4;
        } else {
            out.append(QChar(QChar::ReplacementCharacter));
            i += 1;
        }
    }
    return out;
}

QByteArray toUtf16LittleEndian(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

// What the profile functions return for a stored value (already without blanks at its ends):
// the text up to a NUL, without the blanks this leaves at its end, and without one pair of
// matching quotes around it.
QByteArrayView readValue(QByteArrayView stored)
{
    const qsizetype nul = stored.indexOf('\0');
    if (nul >= 0)
        stored = trimmed(stored.first(nul));
    if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
        stored.back() == stored.front())
        stored = stored.sliced(1, stored.size() - 2);
    return stored;
}

}  // namespace

ProfileDocument::ProfileDocument(const QByteArray &bytes) : storage_(bytes)
{
    if (storage_.startsWith(kUtf8Mark)) {
        encoding_ = Encoding::Utf8;
        storage_.remove(0, kUtf8Mark.size());
    } else if (storage_.startsWith(kUtf16LittleEndianMark)) {
        encoding_ = Encoding::Utf16LittleEndian;
        const QByteArrayView units = QByteArrayView(storage_).sliced(kUtf16LittleEndianMark.size());
        if (units.size() % 2 != 0)
            oddTail_ = units.last(1).toByteArray();
        storage_ = utf16ToUtf8(units);
    }
    const qsizetype size = storage_.size();
    const char *data = storage_.constData();
    lines_.reserve(static_cast<std::size_t>(storage_.count('\n') + storage_.count('\r') + 1));
    qsizetype start = 0;
    while (start < size) {
        qsizetype stop = start;
        while (stop < size && data[stop] != '\r' && data[stop] != '\n')
            ++stop;
        Line line;
        line.start = start;
        line.size = stop - start;
        qsizetype next = stop;
        if (next < size && data[next] == '\r') {
            ++next;
            line.end = LineEnd::Cr;
        }
        if (next < size && data[next] == '\n') {
            ++next;
            line.end = line.end == LineEnd::Cr ? LineEnd::CrLf : LineEnd::Lf;
        }
        classify(line);
        if (line.kind == LineKind::Header)
            headers_.push_back(lines_.size());
        lines_.push_back(line);
        start = next;
    }
    indexSections();
}

QByteArray ProfileDocument::storedBytes(QStringView text) const
{
    // CR, LF and NUL would cut the line or the value: they are stored as blanks.
    QByteArray bytes = encoding_ == Encoding::Windows1252 ? encodeWindows1252(text) : text.toUtf8();
    for (char &c : bytes) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return bytes;
}

QByteArray ProfileDocument::storedName(QStringView name) const
{
    return trimmed(storedBytes(name)).toByteArray();
}

QString ProfileDocument::decoded(QByteArrayView bytes) const
{
    switch (encoding_) {
    case Encoding::Windows1252:
        break;
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Utf16LittleEndian:
        return utf8ToUtf16(bytes);
    }
    return decodeWindows1252(bytes);
}

void ProfileDocument::indexHeaders()
{
    headers_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Header)
            headers_.push_back(i);
    }
    indexSections();
}

void ProfileDocument::indexSections()
{
    sections_.clear();
    sections_.reserve(static_cast<qsizetype>(headers_.size()));
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        const QByteArray name = foldedName(nameOf(lines_[headers_[i]]));
        if (!sections_.contains(name))  // the first of two sections of one name is used
            sections_.insert(name, i);
    }
}

ProfileDocument::Line ProfileDocument::newLine(QByteArrayView text, LineEnd end)
{
    Line line;
    line.start = storage_.size();
    line.size = text.size();
    line.end = end;
    storage_.append(text);
    classify(line);
    return line;
}

void ProfileDocument::classify(Line &line) const
{
    const QByteArrayView view = textOf(line);
    const char *text = view.data();
    const qsizetype size = view.size();
    line.kind = LineKind::Other;
    line.nameStart = line.nameEnd = line.valueStart = line.valueEnd = 0;

    qsizetype first = 0;
    while (first < size && isBlank(text[first]))
        ++first;
    if (first == size || text[first] == ';')
        return;  // blank line or comment
    if (text[first] == '[') {
        const qsizetype close = view.lastIndexOf(']');
        if (close > first) {
            line.kind = LineKind::Header;
            line.nameStart = first + 1;
            line.nameEnd = close;
            trimSpan(text, line.nameStart, line.nameEnd);
            return;
        }
        // "[" without "]": read like any other line
    }
    const qsizetype equals = view.indexOf('=', first);
    if (equals < 0)
        return;
    line.kind = LineKind::Key;
    line.nameStart = first;
    line.nameEnd = equals;
    trimSpan(text, line.nameStart, line.nameEnd);
    line.valueStart = equals + 1;
    line.valueEnd = size;
    trimSpan(text, line.valueStart, line.valueEnd);
}

std::optional<std::size_t> ProfileDocument::findSection(QByteArrayView name) const
{
    const auto found = sections_.constFind(foldedName(name));
    if (found == sections_.cend())
        return std::nullopt;
    return headers_[*found];
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const
{
    const auto next = std::upper_bound(headers_.begin(), headers_.end(), header);
    return next == headers_.end() ? lines_.size() : *next;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t header, QByteArrayView name) const
{
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Key && sameName(nameOf(lines_[i]), name))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    const std::optional<std::size_t> header = findSection(storedName(section));
    if (!header)
        return std::nullopt;
    const std::optional<std::size_t> entry = findKey(*header, storedName(key));
    if (!entry)
        return std::nullopt;
    return decoded(readValue(valueOf(lines_[*entry])));
}

bool ProfileDocument::hasSection(QStringView section) const
{
    return findSection(storedName(section)).has_value();
}

bool ProfileDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    const QByteArray sectionName = storedName(section);
    const QByteArray keyName = storedName(key);
    const QByteArray newValue = storedBytes(value);

    const std::optional<std::size_t> header = findSection(sectionName);
    if (!header) {
        if (!lines_.empty() && lines_.back().end == LineEnd::None)
            lines_.back().end = LineEnd::CrLf;
        sections_.insert(foldedName(sectionName), headers_.size());
        headers_.push_back(lines_.size());
        lines_.push_back(newLine('[' + sectionName + ']', LineEnd::CrLf));
        lines_.push_back(newLine(keyName + '=' + newValue, LineEnd::CrLf));
        if (lines_.back().kind == LineKind::Header)
            indexHeaders();  // a key name starting with "[" and a value holding "]"
        return true;
    }

    if (const std::optional<std::size_t> entry = findKey(*header, keyName)) {
        const Line old = lines_[*entry];
        if (valueOf(old) == trimmed(newValue))
            return false;
        const QByteArrayView text = textOf(old);
        QByteArray changed;
        changed.reserve(text.size() - (old.valueEnd - old.valueStart) + newValue.size());
        changed.append(text.first(old.valueStart));
        changed.append(newValue);
        changed.append(text.sliced(old.valueEnd));
        lines_[*entry] = newLine(changed, old.end);
        if (lines_[*entry].kind != old.kind)
            indexHeaders();  // a key name starting with "[" and a value holding "]"
        return true;
    }

    std::size_t last = *header;  // the header itself when the section holds only blank lines
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (!isBlankLine(textOf(lines_[i])))
            last = i;
    }
    if (lines_[last].end == LineEnd::None)
        lines_[last].end = LineEnd::CrLf;
    const Line added = newLine(keyName + '=' + newValue, LineEnd::CrLf);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), added);
    for (std::size_t &header : headers_) {
        if (header > last)
            ++header;
    }
    if (added.kind == LineKind::Header)
        indexHeaders();  // a key name starting with "[" and a value holding "]"
    return true;
}

QByteArray ProfileDocument::toBytes() const
{
    auto endBytes = [](LineEnd end) -> QByteArrayView {
        switch (end) {
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Lf:
            return "\n";
        case LineEnd::Cr:
            return "\r";
        case LineEnd::None:
            break;
        }
        return {};
    };
    qsizetype size = 0;
    for (const Line &line : lines_)
        size += line.size + endBytes(line.end).size();
    QByteArray bytes;
    bytes.reserve(size);
    for (const Line &line : lines_) {
        bytes.append(textOf(line));
        bytes.append(endBytes(line.end));
    }
    switch (encoding_) {
    case Encoding::Windows1252:
        break;
    case Encoding::Utf8:
        bytes.prepend(kUtf8Mark);
        break;
    case Encoding::Utf16LittleEndian:
        bytes = kUtf16LittleEndianMark + toUtf16LittleEndian(utf8ToUtf16(bytes)) + oddTail_;
        break;
    }
    return bytes;
}

}  // namespace platine
