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

// The bytes stored for a name or a value: Windows-1252, with the characters that would break
// the line (CR, LF, NUL) turned into blanks.
QByteArray storedBytes(QStringView text)
{
    QByteArray bytes = encodeWindows1252(text);
    for (char &c : bytes) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return bytes;
}

QByteArray storedName(QStringView name)
{
    return trimmed(storedBytes(name)).toByteArray();
}

}  // namespace

ProfileDocument::ProfileDocument(const QByteArray &bytes) : storage_(bytes)
{
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
}

void ProfileDocument::indexHeaders()
{
    headers_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Header)
            headers_.push_back(i);
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
    for (const std::size_t header : headers_) {
        if (sameName(nameOf(lines_[header]), name))
            return header;
    }
    return std::nullopt;
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
    return decodeWindows1252(valueOf(lines_[*entry]));
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
    return bytes;
}

}  // namespace platine
