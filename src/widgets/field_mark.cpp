#include "widgets/field_mark.h"

#include "widgets/contrast.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace platine {

namespace {
constexpr char kMarkProperty[] = "platineInvalidMark";
constexpr char kRemarkProperty[] = "platineRemark";
constexpr char kPlainBaseProperty[] = "platinePlainBase";
constexpr char kPlainTextProperty[] = "platinePlainText";

// A fixed background and the text that reads on it.
void paintBackground(QPalette &palette, const QColor &background)
{
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, textColourFor(background));
}
}  // namespace

void markInvalidField(QLineEdit *field, std::function<void()> onEdited)
{
    if (!isMarkedInvalid(field)) {
        const QPalette original = field->palette();
        QPalette marked = original;
        paintBackground(marked, invalidMarkColour());
        field->setPalette(marked);
        field->setProperty(kMarkProperty, true);
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(field, &QLineEdit::textChanged, field,
                                       [field, original, connection, onEdited] {
                                           field->setPalette(original);
                                           field->setProperty(kMarkProperty, false);
                                           QObject::disconnect(*connection);
                                           if (onEdited)
                                               onEdited();
                                       });
    }
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void showTextAsLive(QLineEdit *field, bool live)
{
    // The palette's colours, or what reads in their place on a field with a background of its
    // own (the yellow clock display).
    QPalette colours = field->palette();
    const QColor base = colours.color(QPalette::Active, QPalette::Base);
    QColor text = QPalette().color(QPalette::Active, QPalette::Text);
    if (contrastRatio(text, base) < kMinimumContrast)
        text = textColourFor(base);
    if (!live)
        text = readableOn(QPalette().color(QPalette::Disabled, QPalette::Text), base);
    colours.setColor(QPalette::Active, QPalette::Text, text);
    colours.setColor(QPalette::Inactive, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::Text));
    field->setPalette(colours);
    field->setProperty("platineLive", live);
}

bool isMarkedInvalid(const QLineEdit *field)
{
    return field->property(kMarkProperty).toBool();
}

void setRemarkMark(QWidget *field, const QString &remark)
{
    auto *edit = qobject_cast<QLineEdit *>(field);
    // A list without typed text shows it on its button; a line edit or a check box on its
    // base (the box's square).
    const QPalette::ColorRole role =
        qobject_cast<QComboBox *>(field) && !edit ? QPalette::Button : QPalette::Base;
    const bool had = !remarkMark(field).isEmpty();
    if (!had && remark.isEmpty())
        return;
    const QPalette::ColorRole textRole =
        role == QPalette::Button ? QPalette::ButtonText : QPalette::Text;
    if (!had) {
        field->setProperty(kPlainBaseProperty, field->palette().color(role));
        field->setProperty(kPlainTextProperty, field->palette().color(textRole));
    }
    field->setProperty(kRemarkProperty, remark);
    field->setToolTip(remark);
    if (edit && isMarkedInvalid(edit))
        return;  // the mark of a field that cannot be sent stays until the text changes
    QPalette palette = field->palette();
    const QColor background =
        remark.isEmpty() ? field->property(kPlainBaseProperty).value<QColor>() : remarkMarkColour();
    palette.setColor(role, background);
    palette.setColor(textRole, remark.isEmpty()
                                   ? field->property(kPlainTextProperty).value<QColor>()
                                   : textColourFor(background));
    field->setPalette(palette);
}

QString remarkMark(const QWidget *field)
{
    return field->property(kRemarkProperty).toString();
}

QColor invalidMarkColour()
{
    return QColor(255, 200, 200);
}

QColor remarkMarkColour()
{
    return QColor(255, 214, 120);
}

}  // namespace platine
