#include "widgets/field_mark.h"

#include <QLineEdit>
#include <QPalette>

#include <memory>

namespace platine {

namespace {
constexpr char kMarkProperty[] = "platineInvalidMark";
}

void markInvalidField(QLineEdit *field, std::function<void()> onEdited)
{
    if (!isMarkedInvalid(field)) {
        const QPalette original = field->palette();
        QPalette marked = original;
        marked.setColor(QPalette::Base, QColor(255, 200, 200));
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

}  // namespace platine
