#pragma once

#include <QLabel>
#include <QString>

namespace platine {

// The port's state, always in sight in the status bar: which port, its settings, open or
// closed, and why it closed when the tool closed it by itself.
class BoardLink;

class PortIndicator : public QLabel
{
    Q_OBJECT

public:
    enum class State { Closed, Open, ClosedAfterSending, Lost, OpenFailed };

    explicit PortIndicator(QWidget *parent = nullptr);

    // The port as chosen ("Port COM"); empty: none chosen.
    void setPort(const QString &portText);
    // A few words on what is on the other end (the board simulator in a demonstration).
    void setPeer(const QString &peer);
    // Closed after a send: closeDelayMs is how long after the last frame.
    void setState(State state, int closeDelayMs = 0);
    State state() const { return state_; }

    // Follows the link: opened, closed, closed by Timer3 after a send, lost, failed to open.
    void follow(BoardLink &link);

private:
    void refresh();

    QString port_;
    QString peer_;
    State state_ = State::Closed;
    int closeDelayMs_ = 0;
};

}  // namespace platine
