#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace platine {

// The serial control Comm1: one serial port at 9600 baud, 8 data bits, no parity, 1 stop bit, no
// flow control, with the properties and the receive event the tool relies on. Bytes pass both
// ways untouched (0x00 and 0x80..0xFF included). Events arrive on the thread that owns the
// object.
//
// A port that goes away while open (adapter unplugged, read or write failure) is closed by the
// control itself and reported once through portLost().
class SerialControl : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCharactersReceived = 2;  // OnComm event code
    // The receive threshold the board's text is read with, and the control's design value.
    static constexpr int kReceiveThreshold = 26;
    // While the port is open, how often the control checks that its device is still there.
    static constexpr int kDeviceCheckIntervalMs = 500;
    // The most bytes held for reading: the board sends a line a second, and a line that
    // floods the port without pause is not gathered whole in memory (the system's own buffer
    // then holds or drops the rest).
    static constexpr qint64 kReceiveBufferBytes = 64 * 1024;

    explicit SerialControl(QObject *parent = nullptr);
    ~SerialControl() override;

    // The port the next opening uses, as the user gave it: a COM number ("3") or a device
    // name or path ("ttyUSB0", "/dev/pts/4"). An open port is not reopened.
    void setCommPort(const QString &portText);
    QString commPort() const;
    // The device the port text stands for ("" when it names none, as for port 0).
    QString deviceName() const;

    bool portOpen() const;
    // Opens (true) or closes (false) the port. Opening applies the DTREnable value at once
    // (off unless set), so a board that resets on DTR is not reset. Returns false and sets
    // lastError() when the port cannot be opened; the port then stays closed. Opening an open
    // port and closing a closed one do nothing and return true.
    bool setPortOpen(bool open);

    // A receive event is raised only once at least this many characters wait (initially 26).
    // 0 or less: no receive event.
    void setRThreshold(int characters);
    int rThreshold() const;

    // The DTR line: applied at once when open, and at every opening. Ports without modem lines
    // (pseudo-terminals) ignore it.
    void setDTREnable(bool enable);
    bool dtrEnable() const;

    // Hands the bytes to the port in one write. Returns false and sets lastError() when the
    // port is closed or the write fails; a failed write closes the port and raises portLost().
    bool output(const QByteArray &bytes);

    // Every byte waiting; the receive buffer is emptied. Bytes that arrived before the port was
    // closed are still returned once, until the next opening.
    QByteArray input();

    // French description of the last failure, naming the port and the reason.
    QString lastError() const;

signals:
    // Raised with kCharactersReceived once at least rThreshold() characters wait.
    void onComm(int commEvent);
    // The port was closed by the control itself (device lost, read or write failure); raised
    // once per loss, with a French message.
    void portLost(const QString &message);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace platine
