#pragma once

// Whether the captions of a window fit their controls, measured with each control's own font.

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QWidget>

namespace platine::test {

// Every caption in a widget tree that does not fit its control with the control's own font:
// one line per fault, naming the control and the sizes.
inline QStringList captionProblems(const QWidget *root)
{
    QStringList problems;
    auto report = [&problems](const QWidget *widget, const QString &text, const QString &what) {
        problems.append(QStringLiteral("%1 \"%2\": %3")
                            .arg(widget->objectName().isEmpty()
                                     ? QString::fromLatin1(widget->metaObject()->className())
                                     : widget->objectName(),
                                 text, what));
    };
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<const QWidget *>())
        widgets.append(child);

    for (const QWidget *widget : widgets) {
        const QFontMetrics metrics(widget->font());
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            const QString text = label->text();
            if (text.isEmpty())
                continue;
            const QRect box = label->contentsRect();
            if (label->wordWrap()) {
                const QRect needed =
                    metrics.boundingRect(box, int(label->alignment()) | Qt::TextWordWrap, text);
                if (needed.height() > box.height() || needed.width() > box.width())
                    report(label, text,
                           QStringLiteral("needs %1x%2, has %3x%4")
                               .arg(needed.width())
                               .arg(needed.height())
                               .arg(box.width())
                               .arg(box.height()));
            } else if (metrics.horizontalAdvance(text) > box.width() ||
                       metrics.height() > box.height()) {
                report(label, text,
                       QStringLiteral("needs %1x%2, has %3x%4")
                           .arg(metrics.horizontalAdvance(text))
                           .arg(metrics.height())
                           .arg(box.width())
                           .arg(box.height()));
            }
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            const QString text = QString(button->text()).remove(u'&');  // the mnemonic's mark
            if (text.isEmpty())
                continue;
            const int margin =
                button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            const int frame =
                button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
            const int width = metrics.horizontalAdvance(text) + margin + 2 * frame;
            const int height = metrics.height() + 2 * frame;
            if (width > button->width() || height > button->height())
                report(button, text,
                       QStringLiteral("needs %1x%2, has %3x%4")
                           .arg(width)
                           .arg(height)
                           .arg(button->width())
                           .arg(button->height()));
        } else if (const auto *lineEdit = qobject_cast<const QLineEdit *>(widget)) {
            // The field must be tall enough for a line of its font inside its frame.
            const int frame =
                lineEdit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, lineEdit);
            if (metrics.height() + 2 * frame > lineEdit->height())
                report(lineEdit, lineEdit->text(),
                       QStringLiteral("line of %1 px in a field of %2 px")
                           .arg(metrics.height())
                           .arg(lineEdit->height()));
        } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
            const int needed =
                metrics.horizontalAdvance(group->title()) + 2 * metrics.averageCharWidth();
            if (needed > group->width())
                report(group, group->title(),
                       QStringLiteral("title needs %1, box is %2").arg(needed).arg(group->width()));
        }
    }
    return problems;
}

}  // namespace platine::test
