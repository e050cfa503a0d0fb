#pragma once

#include "store/profile_file.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace platine {

class SerialControl;

// What an opening or a send came to: empty reason when it went well, else why not (French, for
// the user as it stands).
struct LinkResult
{
    QString reason;

    bool ok() const { return reason.isEmpty(); }
    explicit operator bool() const { return ok(); }
    static LinkResult failed(const QString &why) { return {why}; }
};

// The serial link rules: the port setting kept in the settings file, opening and closing, the
// one sending rule that every frame follows, and the receive path that delivers the board's
// text. No widget: the windows connect to its signals.
class BoardLink : public QObject
{
    Q_OBJECT

public:
    static constexpr int kReceiveDelayMs = 300;  // Timer4
    static constexpr int kCloseDelayMs = 10000;  // Timer3

    explicit BoardLink(QObject *parent = nullptr);
    ~BoardLink() override;

    QTimer &receiveTimer();  // Timer4 (object name "Timer4")
    QTimer &closeTimer();    // Timer3 (object name "Timer3")

    // Test seam: shorter intervals for Timer4 and Timer3.
    void setTimerIntervals(int receiveDelayMs, int closeDelayMs);

    // The settings file: param.ini in the program's folder, or in the user's configuration
    // folder when the program's folder is read-only (needs a QCoreApplication).
    static QString defaultSettingsPath();
    // Why the settings file is not in the user's folder when the environment names none
    // (French); empty as a rule.
    static QString defaultSettingsNote();
    // Initially defaultSettingsPath().
    void setSettingsPath(const QString &path);
    QString settingsPath() const;

    // Start-up: reads "Port COM" from the settings file. The port stays closed.
    void loadPortSetting();
    // The same, from the settings file already read.
    void loadPortSetting(const ProfileFileContents &settings);
    // The port in use, as typed ("3", "COM3", "/dev/ttyUSB0").
    QString port() const;
    // The device that port stands for ("/dev/ttyS2" for "3"); empty when it names none.
    QString device() const;
    // Uses another port from the next opening on, for this session only: nothing is written
    // (the command line's --port, the tests' pseudo-terminals).
    void usePort(const QString &portText);
    // How many received bytes start the receive delay (Timer4); 26 after "Ouverture port".
    int receiveThreshold() const;
    void setReceiveThreshold(int bytes);
    // The bytes received and not yet delivered by textReceived(), taken out of the buffer.
    QByteArray takeReceived();

    // "Port COM" answered with typedText: empty changes nothing (returns an ok result);
    // otherwise the port text changes and is written to the settings file as typed. An open
    // port stays open on its device; the new port is used at the next opening. A failed write
    // is returned (with its French message) for the caller to show.
    ProfileWriteResult changePort(const QString &typedText);

    // "Ouverture port": sets the receive threshold to 26 and opens the port when closed. On
    // failure the port stays closed and the result says why.
    LinkResult openPort();
    // The sending rule's first step: opens the port when closed, without touching the receive
    // threshold.
    LinkResult ensurePortOpen();
    // "Fermeture port": closes when open.
    void closePort();
    bool isPortOpen() const;

    // The sending rule: opens the port when closed, DTR off, one write of the whole frame,
    // arms Timer3 (again from the start when it was running, so the port stays open 10 s after
    // the last frame). When the port cannot be opened or the write fails, the result says why
    // and Timer3 is not armed. The caller empties its display first.
    LinkResult send(const QByteArray &frame);

signals:
    // Timer4 fired: the board's text that replaces the display (Text1), one character per
    // received byte (Latin-1).
    void textReceived(const QString &text);
    // The port's real state changed: opened, closed by a button, by Timer3 or by a lost device.
    void portOpenChanged(bool open);
    // The open port was lost (the adapter unplugged, a write that failed): why, in French. A
    // failed send carries the same reason in its result.
    void portLost(const QString &text);
    // The port could not be opened (for an opening of its own or for a send); the same reason
    // is in the result.
    void openFailed(const QString &text);
    // "Port COM" chose another port (the text as typed).
    void portChosen(const QString &portText);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace platine
