#pragma once

#include <QFrame>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace platine {

// The window's message area: one coloured strip under the panels that shows a whole message,
// wrapped over as many lines as it needs, never in a box of its own. An error stays until it
// is dealt with; information fades after a few seconds. With no message it shows a hint.
class MessageStrip : public QFrame
{
    Q_OBJECT

public:
    enum class Kind { None, Error, Warning, Information };
    // What an error is about, so that it goes once that is dealt with.
    enum class Topic { Other, Field, Port };
    static constexpr int kInformationMs = 5000;

    explicit MessageStrip(QWidget *parent = nullptr);

    // An empty text changes nothing.
    void showError(const QString &text, Topic topic = Topic::Other);
    void showInformation(const QString &text);
    // Went through, but asks for a look: stays until the next message.
    void showWarning(const QString &text);
    // Clears the message, back to the hint.
    void clear();
    // Clears the message if it is an error about topic.
    void clearTopic(Topic topic);

    // A button beside the message on show that does what it offers ("Corriger"); the next
    // message takes it away, and so does a click, after which the message goes.
    void setAction(const QString &label, std::function<void()> handler);
    QPushButton *actionButton() const { return action_; }

    // The hint shown while there is no message.
    void setHint(const QString &hint);

    Kind kind() const { return kind_; }
    Topic topic() const { return topic_; }
    // The message; empty when none is shown.
    QString text() const;

private:
    void present(Kind kind, const QString &text);

    QLabel *label_ = nullptr;
    QPushButton *action_ = nullptr;
    std::function<void()> actionHandler_;
    QTimer *fade_ = nullptr;
    QString hint_;
    Kind kind_ = Kind::None;
    Topic topic_ = Topic::Other;
};

}  // namespace platine
