#include "app/manual_page.h"

#include <QRegularExpression>
#include <QStringList>

namespace platine {

namespace {

enum class Font { Roman, Bold, Italic };

// The escapes of one line of text, in HTML, fonts included (\fB, \fI, \fR, \fP).
class InlineText
{
public:
    QString convert(const QString &text, Font font = Font::Roman)
    {
        QString html;
        setFont(html, font);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c != u'\\' || i + 1 >= text.size()) {
                html += escaped(c);
                continue;
            }
            const QChar next = text[++i];
            if (next == u'f' && i + 1 < text.size()) {
                const QChar which = text[++i];
                setFont(html, which == u'B'   ? Font::Bold
                              : which == u'I' ? Font::Italic
                              : which == u'P' ? previous_
                                              : Font::Roman);
            } else if (next == u'(' && i + 2 < text.size()) {
                html += special(text.mid(i + 1, 2));
                i += 2;
            } else if (next == u'-' || next == u'e') {
                html += next == u'-' ? QStringLiteral("-") : QStringLiteral("\\");
            } else if (next == u'~' || next == u' ') {
                html += QStringLiteral("&nbsp;");
            } else if (next == u'&' || next == u'%' || next == u'c') {
                // zero-width, hyphenation point, continuation: nothing to show
            } else {
                html += escaped(next);
            }
        }
        setFont(html, Font::Roman);
        return html;
    }

private:
    static QString escaped(QChar c)
    {
        if (c == u'<')
            return QStringLiteral("&lt;");
        if (c == u'>')
            return QStringLiteral("&gt;");
        if (c == u'&')
            return QStringLiteral("&amp;");
        return QString(c);
    }

    static QString special(const QString &name)
    {
        if (name == QLatin1String("bu"))
            return QStringLiteral("•");
        if (name == QLatin1String("em"))
            return QStringLiteral("—");
        if (name == QLatin1String("en"))
            return QStringLiteral("–");
        if (name == QLatin1String("co"))
            return QStringLiteral("©");
        if (name == QLatin1String("lq"))
            return QStringLiteral("“");
        if (name == QLatin1String("rq"))
            return QStringLiteral("”");
        if (name == QLatin1String("aq"))
            return QStringLiteral("'");
        return {};
    }

    void setFont(QString &html, Font font)
    {
        if (font == current_)
            return;
        if (current_ == Font::Bold)
            html += QStringLiteral("</b>");
        else if (current_ == Font::Italic)
            html += QStringLiteral("</i>");
        if (font == Font::Bold)
            html += QStringLiteral("<b>");
        else if (font == Font::Italic)
            html += QStringLiteral("<i>");
        previous_ = current_;
        current_ = font;
    }

    Font current_ = Font::Roman;
    Font previous_ = Font::Roman;
};

// The arguments of a request, quotes taken off ("a b" c gives two).
QStringList arguments(const QString &rest)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c == u' ' && !quoted) {
            if (any || !word.isEmpty())
                words.append(word);
            word.clear();
            any = false;
        } else {
            word += c;
            if (c == u'\\' && i + 1 < rest.size())
                word += rest[++i];  // an escape: a quote or a space after it is text
            any = true;
        }
    }
    if (any || !word.isEmpty())
        words.append(word);
    return words;
}

// .B, .I, .BR, .RB, .IR, .RI, .BI, .IB: the arguments alternate between two fonts, with no
// space between them. A bold name followed by "(1)" is a reference to another page.
QString alternating(const QStringList &words, Font first, Font second)
{
    static const QRegularExpression reference(QStringLiteral("^\\((\\d)\\)"));
    QString html;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const Font font = i % 2 == 0 ? first : second;
        QString part = InlineText().convert(words[i], font);
        if (font == Font::Bold && i + 1 < words.size()) {
            const QRegularExpressionMatch match = reference.match(words[i + 1]);
            if (match.hasMatch()) {
                QString name = words[i];
                name.replace(QStringLiteral("\\-"), QStringLiteral("-"));
                part =
                    QStringLiteral("<a href=\"%1.%2\">%3</a>").arg(name, match.captured(1), part);
            }
        }
        html += part;
    }
    return html;
}

class Converter
{
public:
    QString run(const QString &page)
    {
        const QStringList lines = page.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (line.startsWith(QLatin1String(".\\\"")) || line.startsWith(QLatin1String("'\\\"")))
                continue;  // a comment
            if (line.startsWith(u'.') || line.startsWith(u'\'')) {
                request(line.mid(1).trimmed());
            } else if (preformatted_) {
                body_ += InlineText().convert(line) + u'\n';
            } else if (line.trimmed().isEmpty()) {
                endBlock();
            } else {
                text(InlineText().convert(line));
            }
        }
        endBlock();
        while (indents_-- > 0)
            body_ += QStringLiteral("</blockquote>");
        return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                              "<body>%2%3</body></html>")
            .arg(title_, header_, body_);
    }

private:
    void request(const QString &line)
    {
        const qsizetype space = line.indexOf(u' ');
        const QString name = space < 0 ? line : line.left(space);
        const QStringList words = arguments(space < 0 ? QString() : line.mid(space + 1));
        if (name == QLatin1String("TH")) {
            const QString page = words.value(0) + u'(' + words.value(1) + u')';
            title_ = page;
            header_ = QStringLiteral("<p><b>%1</b> — %2</p>")
                          .arg(page, InlineText().convert(words.value(3)));
        } else if (name == QLatin1String("SH") || name == QLatin1String("SS")) {
            endBlock();
            const QString tag =
                name == QLatin1String("SH") ? QStringLiteral("h2") : QStringLiteral("h3");
            body_ += QStringLiteral("<%1>%2</%1>").arg(tag, InlineText().convert(words.join(u' ')));
        } else if (name == QLatin1String("PP") || name == QLatin1String("P") ||
                   name == QLatin1String("LP")) {
            endBlock();
        } else if (name == QLatin1String("TP")) {
            endBlock();
            tagNext_ = true;
        } else if (name == QLatin1String("IP")) {
            endBlock();
            const QString tag = InlineText().convert(words.value(0));
            if (tag == QStringLiteral("•")) {
                body_ += QStringLiteral("<ul><li>");
                open_ = Block::Bullet;
            } else {
                startItem(tag);
            }
        } else if (name == QLatin1String("RS")) {
            endBlock();
            body_ += QStringLiteral("<blockquote>");
            ++indents_;
        } else if (name == QLatin1String("RE")) {
            endBlock();
            if (indents_ > 0) {
                body_ += QStringLiteral("</blockquote>");
                --indents_;
            }
        } else if (name == QLatin1String("br") || name == QLatin1String("sp")) {
            if (open_ != Block::None)
                body_ += QStringLiteral("<br>");
        } else if (name == QLatin1String("nf")) {
            endBlock();
            body_ += QStringLiteral("<pre>");
            preformatted_ = true;
        } else if (name == QLatin1String("fi")) {
            if (preformatted_)
                body_ += QStringLiteral("</pre>");
            preformatted_ = false;
        } else if (name == QLatin1String("B")) {
            text(alternating({words.join(u' ')}, Font::Bold, Font::Roman));
        } else if (name == QLatin1String("I")) {
            text(alternating({words.join(u' ')}, Font::Italic, Font::Roman));
        } else if (name.size() == 2 && QStringLiteral("BIR").contains(name[0]) &&
                   QStringLiteral("BIR").contains(name[1]) && name[0] != name[1]) {
            const auto font = [](QChar c) {
                return c == u'B' ? Font::Bold : c == u'I' ? Font::Italic : Font::Roman;
            };
            text(alternating(words, font(name[0]), font(name[1])));
        }
        // Anything else (.nh, .ad, .hy...) only changes how the text is set.
    }

    void text(const QString &html)
    {
        if (tagNext_) {
            tagNext_ = false;
            startItem(html);
            return;
        }
        if (preformatted_) {
            body_ += html + u'\n';
            return;
        }
        if (open_ == Block::None) {
            body_ += QStringLiteral("<p>");
            open_ = Block::Paragraph;
        } else {
            body_ += u' ';
        }
        body_ += html;
    }

    void startItem(const QString &tag)
    {
        body_ += QStringLiteral("<dl><dt>%1</dt><dd>").arg(tag);
        open_ = Block::Item;
    }

    void endBlock()
    {
        if (open_ == Block::Paragraph)
            body_ += QStringLiteral("</p>");
        else if (open_ == Block::Item)
            body_ += QStringLiteral("</dd></dl>");
        else if (open_ == Block::Bullet)
            body_ += QStringLiteral("</li></ul>");
        open_ = Block::None;
    }

    enum class Block { None, Paragraph, Item, Bullet };
    Block open_ = Block::None;
    bool tagNext_ = false;
    bool preformatted_ = false;
    int indents_ = 0;
    QString title_;
    QString header_;
    QString body_;
};

}  // namespace

QString manualPageToHtml(const QString &page)
{
    return Converter().run(page);
}

}  // namespace platine
