#include "app/message_strip.h"

#include "widgets/contrast.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace platine {

MessageStrip::MessageStrip(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("messageStrip"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("messageText"));
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(label_, 1);
    action_ = new QPushButton(this);
    action_->setObjectName(QStringLiteral("messageAction"));
    action_->hide();
    connect(action_, &QPushButton::clicked, this, [this] {
        // The message it answers goes once the action is done.
        const std::function<void()> handler = std::move(actionHandler_);
        clear();
        if (handler)
            handler();
    });
    layout->addWidget(action_, 0, Qt::AlignVCenter);
    // Two lines at least, so that the usual messages do not move the panels.
    setMinimumHeight(2 * fontMetrics().lineSpacing() + 10);

    fade_ = new QTimer(this);
    fade_->setSingleShot(true);
    fade_->setInterval(kInformationMs);
    connect(fade_, &QTimer::timeout, this, &MessageStrip::clear);
    clear();
}

void MessageStrip::showError(const QString &text, Topic topic)
{
    if (text.isEmpty())
        return;
    present(Kind::Error, text);
    topic_ = topic;
}

void MessageStrip::showWarning(const QString &text)
{
    present(Kind::Warning, text);
}

void MessageStrip::showInformation(const QString &text)
{
    present(Kind::Information, text);
    fade_->start();
}

void MessageStrip::clear()
{
    present(Kind::None, QString());
}

void MessageStrip::clearTopic(Topic topic)
{
    if (kind_ == Kind::Error && topic_ == topic)
        clear();
}

void MessageStrip::setHint(const QString &hint)
{
    hint_ = hint;
    if (kind_ == Kind::None)
        label_->setText(hint_);
}

QString MessageStrip::text() const
{
    return kind_ == Kind::None ? QString() : label_->text();
}

void MessageStrip::setAction(const QString &label, std::function<void()> handler)
{
    actionHandler_ = std::move(handler);
    action_->setText(label);
    action_->setVisible(kind_ != Kind::None && actionHandler_ != nullptr);
}

void MessageStrip::present(Kind kind, const QString &text)
{
    fade_->stop();
    actionHandler_ = nullptr;
    action_->hide();
    kind_ = kind;
    topic_ = Topic::Other;
    QPalette colours = palette();
    switch (kind) {
    case Kind::Error:
        colours.setColor(QPalette::Window, QColor(0xf9, 0xd6, 0xd5));
        colours.setColor(QPalette::WindowText, QColor(0x5c, 0x0b, 0x0b));
        break;
    case Kind::Warning:
        colours.setColor(QPalette::Window, QColor(0xfc, 0xe9, 0xc4));
        colours.setColor(QPalette::WindowText, QColor(0x4a, 0x33, 0x05));
        break;
    case Kind::Information:
        colours.setColor(QPalette::Window, QColor(0xd4, 0xe9, 0xf7));
        colours.setColor(QPalette::WindowText, QColor(0x0b, 0x2e, 0x4a));
        break;
    case Kind::None:
        // The hint in the palette's grey, darkened or lightened until it reads.
        colours = QPalette();
        colours.setColor(QPalette::WindowText,
                         readableOn(colours.color(QPalette::Disabled, QPalette::WindowText),
                                    colours.color(QPalette::Window)));
        break;
    }
    setPalette(colours);
    label_->setPalette(colours);
    label_->setText(kind == Kind::None ? hint_ : text);
    setAccessibleName(kind == Kind::Error         ? QStringLiteral("Erreur")
                      : kind == Kind::Warning     ? QStringLiteral("Remarque")
                      : kind == Kind::Information ? QStringLiteral("Information")
                                                  : QStringLiteral("Aide"));
    label_->setAccessibleName(label_->text());
    if (kind != Kind::None && QAccessible::isActive()) {
        // Screen readers announce the new message.
        QAccessibleEvent event(label_, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace platine
