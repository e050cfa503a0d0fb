#pragma once

// The board's end of the serial line: either a new pseudo-terminal, whose other end the PC
// opens as its serial port, or a real serial device (9600 baud, 8 data bits, no parity, 1 stop
// bit). POSIX only.

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace platine::sim {

class SerialLine : public QObject
{
    Q_OBJECT

public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;

    // Creates a pseudo-terminal in raw mode; the PC opens devicePath().
    bool openPseudoTerminal();
    // Opens a real serial device at 9600 8N1, raw, without flow control.
    bool openDevice(const QString &path);

    // The path the PC opens (the pseudo-terminal's other end), or the device given.
    QString devicePath() const { return devicePath_; }
    bool isPseudoTerminal() const { return pseudoTerminal_; }
    // French, after a failed open.
    QString errorString() const { return error_; }

    // Whether someone holds the PC's end open. A pseudo-terminal keeps what is written while
    // nobody listens and hands it to the next opener, where a real line loses it: callers send
    // only while this is true. Always true for a real device.
    bool isListening() const { return listening_; }

    // Writes every byte (waiting briefly while the line is full); false when they could not
    // all be written.
    bool write(QByteArrayView bytes);

signals:
    void received(const QByteArray &bytes);
    void listeningChanged(bool listening);
    // A real device went away (unplugged, hung up); French message.
    void lost(const QString &message);

private:
    void readAvailable();
    void checkListener();
    void setListening(bool listening);
    void closeLine();
    bool fail(const QString &message);

    int fd_ = -1;
    bool pseudoTerminal_ = false;
    bool listening_ = false;
    QString devicePath_;
    QString error_;
    QSocketNotifier *notifier_ = nullptr;
    QTimer listenerWatch_;
};

}  // namespace platine::sim
