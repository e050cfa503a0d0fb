#include "widgets/field_mark.h"

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
}  // namespace

void markInvalidField(QLineEdit *field, std::function<void()> onEdited)
{
    if (!isMarkedInvalid(field)) {
        const QPalette original = field->palette();
        QPalette marked = original;
        marked.setColor(QPalette::Base, invalidMarkColour());
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
    QPalette colours = field->palette();
    colours.setColor(QPalette::Active, QPalette::Text,
                     live ? QPalette().color(QPalette::Active, QPalette::Text)
                          : QPalette().color(QPalette::Disabled, QPalette::Text));
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
    if (!had)
        field->setProperty(kPlainBaseProperty, field->palette().color(role));
    field->setProperty(kRemarkProperty, remark);
    field->setToolTip(remark);
    if (edit && isMarkedInvalid(edit))
        return;  // the mark of a field that cannot be sent stays until the text changes
    QPalette palette = field->palette();
    palette.setColor(role, remark.isEmpty() ? field->property(kPlainBaseProperty).value<QColor>()
                                            : remarkMarkColour());
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
