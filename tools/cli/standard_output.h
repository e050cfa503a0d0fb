#pragma once

#include <QIODevice>
#include <QString>

namespace platine::cli {

// Standard output (or error) as a device that checks every write: a full disk, a closed
// descriptor or a reader that went away is remembered, not ignored. Writes go straight to the
// descriptor; a QTextStream on top does the buffering.
class StandardStream : public QIODevice
{
public:
    explicit StandardStream(int fd);

    // The descriptor refused a write, or was closed before the program started.
    bool failed() const { return error_ != 0; }
    // The reader closed its end of the pipe (| head): not worth a message.
    bool readerGone() const;
    // French: why the output could not be written; empty when it could.
    QString failureText() const;

    // Whether the descriptor is open at all; when it is not, nothing may be written to it (a
    // port opened later could take its number).
    bool descriptorOpen() const;
    // Closes the descriptor, which reports late failures (a file on a full or remote disk).
    bool closeDescriptor();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    int fd_;
    int error_ = 0;
};

// Whether the descriptor fd is open.
bool descriptorIsOpen(int fd);

// Ignores SIGPIPE (Windows has none), so that a closed pipe shows as a failed write instead of
// ending the program in the middle of a command (a port left half-written, a settings file not yet
// replaced).
void ignoreBrokenPipeSignal();

}  // namespace platine::cli
