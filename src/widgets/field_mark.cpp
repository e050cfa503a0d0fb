#include "widgets/field_mark.h"

#include <QLineEdit>
#include <QPalette>

#include <memory>

namespace platine {

namespace {
constexpr char kMarkProperty[] = "platineInvalidMark";
}

void markInvalidField(QLineEdit *field)
{
    if (!isMarkedInvalid(field)) {
        const QPalette original = field->palette();
        QPalette marked = original;
        marked.setColor(QPalette::Base, QColor(255, 200, 200));
        field->setPalette(marked);
        field->setProperty(kMarkProperty, true);
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            QObject::connect(field, &QLineEdit::textChanged, field, [field, original, connection] {
                field->setPalette(original);
                field->setProperty(kMarkProperty, false);
                QObject::disconnect(*connection);
            });
    }
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool isMarkedInvalid(const QLineEdit *field)
{
    return field->property(kMarkProperty).toBool();
}

}  // namespace platine
