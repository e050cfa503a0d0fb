#include "link/board_link.h"

#include "link/serial_control.h"
#include "store/port_setting.h"
#include "store/settings_location.h"

#include <QCoreApplication>
#include <QTimer>

namespace platine {

struct BoardLink::Private
{
    explicit Private(BoardLink *owner) : q(owner) {}

    BoardLink *q;
    SerialControl comm;
    QTimer timer3;           // closes the port
    QTimer timer4;           // reads the board's text
    QString settingsPath;    // empty: the default, found when first needed
    bool shownOpen = false;  // the state portOpenChanged() last reported

    void syncPortState()
    {
        const bool open = comm.portOpen();
        if (open == shownOpen)
            return;
        shownOpen = open;
        emit q->portOpenChanged(open);
    }

    LinkResult ensureOpen()
    {
        if (comm.portOpen())
            return {};
        if (!comm.setPortOpen(true)) {
            const QString reason = comm.lastError();
            emit q->openFailed(reason);
            return LinkResult::failed(reason);
        }
        syncPortState();
        return {};
    }

    void onCommEvent(int commEvent)
    {
        // A receive event while Timer4 is armed leaves it armed: the text is read once.
        if (commEvent == SerialControl::kCharactersReceived && !timer4.isActive())
            timer4.start();
    }

    void onReceiveTimer()
    {
        const bool open = comm.portOpen();
        const QByteArray bytes = comm.input();
        // A port closed meanwhile with nothing left to show: the display keeps its text.
        if (!open && bytes.isEmpty())
            return;
        emit q->textReceived(QString::fromLatin1(bytes));
    }

    void onCloseTimer()
    {
        if (comm.portOpen())
            comm.setPortOpen(false);
        syncPortState();
    }
};

BoardLink::BoardLink(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
    d->comm.setRThreshold(SerialControl::kReceiveThreshold);

    d->timer4.setObjectName(QStringLiteral("Timer4"));
    d->timer4.setSingleShot(true);
    d->timer4.setInterval(kReceiveDelayMs);
    d->timer3.setObjectName(QStringLiteral("Timer3"));
    d->timer3.setSingleShot(true);
    d->timer3.setInterval(kCloseDelayMs);

    connect(&d->comm, &SerialControl::onComm, this, [this](int code) { d->onCommEvent(code); });
    connect(&d->comm, &SerialControl::portLost, this, [this](const QString &text) {
        d->syncPortState();
        emit portLost(text);
    });
    connect(&d->timer4, &QTimer::timeout, this, [this] { d->onReceiveTimer(); });
    connect(&d->timer3, &QTimer::timeout, this, [this] { d->onCloseTimer(); });
}

BoardLink::~BoardLink()
{
    disconnect(&d->comm, nullptr, this, nullptr);
}

QTimer &BoardLink::receiveTimer()
{
    return d->timer4;
}

QTimer &BoardLink::closeTimer()
{
    return d->timer3;
}

void BoardLink::setTimerIntervals(int receiveDelayMs, int closeDelayMs)
{
    d->timer4.setInterval(receiveDelayMs);
    d->timer3.setInterval(closeDelayMs);
}

QString BoardLink::defaultSettingsPath()
{
    return platine::defaultSettingsPath();
}

QString BoardLink::defaultSettingsNote()
{
    return platine::defaultSettingsNote();
}

void BoardLink::setSettingsPath(const QString &path)
{
    d->settingsPath = path;
}

QString BoardLink::settingsPath() const
{
    // Finding the default may create the user's folder: only when no path was given.
    if (d->settingsPath.isEmpty())
        d->settingsPath = defaultSettingsPath();
    return d->settingsPath;
}

void BoardLink::loadPortSetting()
{
    loadPortSetting(loadProfileFile(settingsPath()));
}

void BoardLink::loadPortSetting(const ProfileFileContents &settings)
{
    d->comm.setCommPort(portSettingIn(settings).text);
}

ProfileWriteResult BoardLink::changePort(const QString &typedText)
{
    if (typedText.isEmpty())
        return {};
    d->comm.setCommPort(typedText);
    emit portChosen(typedText);
    return writePortSetting(settingsPath(), typedText);
}

QString BoardLink::port() const
{
    return d->comm.commPort();
}

QString BoardLink::device() const
{
    return d->comm.deviceName();
}

void BoardLink::usePort(const QString &portText)
{
    d->comm.setCommPort(portText);
}

int BoardLink::receiveThreshold() const
{
    return d->comm.rThreshold();
}

void BoardLink::setReceiveThreshold(int bytes)
{
    d->comm.setRThreshold(bytes);
}

QByteArray BoardLink::takeReceived()
{
    return d->comm.input();
}

LinkResult BoardLink::openPort()
{
    d->comm.setRThreshold(SerialControl::kReceiveThreshold);
    return d->ensureOpen();
}

LinkResult BoardLink::ensurePortOpen()
{
    return d->ensureOpen();
}

void BoardLink::closePort()
{
    if (d->comm.portOpen())
        d->comm.setPortOpen(false);
    d->syncPortState();
}

bool BoardLink::isPortOpen() const
{
    return d->comm.portOpen();
}

LinkResult BoardLink::send(const QByteArray &frame)
{
    if (LinkResult opened = d->ensureOpen(); !opened)
        return opened;
    d->comm.setDTREnable(false);
    if (!d->comm.output(frame)) {
        const QString reason = d->comm.lastError();
        d->syncPortState();
        return LinkResult::failed(reason);
    }
    d->timer3.start();
    return {};
}

}  // namespace platine
