#include "app/port_indicator.h"

#include "link/board_link.h"
#include "link/serial_control.h"

#include <QTimer>

namespace platine {

PortIndicator::PortIndicator(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("portIndicator"));
    setTextFormat(Qt::PlainText);
    refresh();
}

void PortIndicator::setPort(const QString &portText)
{
    port_ = portText.trimmed();
    refresh();
}

void PortIndicator::setPeer(const QString &peer)
{
    peer_ = peer;
    refresh();
}

void PortIndicator::setState(State state, int closeDelayMs)
{
    state_ = state;
    closeDelayMs_ = closeDelayMs;
    refresh();
}

void PortIndicator::follow(BoardLink &link)
{
    setPort(link.port());
    connect(&link, &BoardLink::portOpenChanged, this, [this, &link](bool open) {
        if (open) {
            setPort(link.port());
            setState(State::Open);
        } else if (state_ == State::Open) {
            setState(State::Closed);  // Timer3 or a lost device may already have said why
        }
    });
    connect(&link.closeTimer(), &QTimer::timeout, this, [this, &link] {
        if (!link.isPortOpen())
            setState(State::ClosedAfterSending, link.closeTimer().interval());
    });
    connect(&link, &BoardLink::portLost, this, [this] { setState(State::Lost); });
    connect(&link, &BoardLink::openFailed, this, [this, &link] {
        setPort(link.port());
        setState(State::OpenFailed);
    });
}

void PortIndicator::refresh()
{
    QString state;
    switch (state_) {
    case State::Open:
        state = QStringLiteral("ouvert");
        break;
    case State::Closed:
        state = QStringLiteral("fermé");
        break;
    case State::ClosedAfterSending:
        state = QStringLiteral("fermé automatiquement %1 s après l'envoi")
                    .arg(closeDelayMs_ / 1000.0, 0, 'g', 3);
        break;
    case State::Lost:
        state = QStringLiteral("perdu (fermé)");
        break;
    case State::OpenFailed:
        state = QStringLiteral("fermé : ouverture impossible");
        break;
    }
    const QString port =
        port_.isEmpty() ? QStringLiteral("Port : aucun") : QStringLiteral("Port %1").arg(port_);
    QString text = QStringLiteral("%1 · 9600 8N1 · %2").arg(port, state);
    if (!peer_.isEmpty())
        text += QStringLiteral(" · %1").arg(peer_);
    setText(text);
    setAccessibleName(QStringLiteral("État du port"));
    setAccessibleDescription(text);
}

}  // namespace platine
