#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QLabel;

namespace platine {

// A serial port the system reports, offered as a choice in "Port COM".
struct DetectedPort
{
    QString name;         // what goes into the field: "ttyUSB0", "COM3"
    QString description;  // what the system says about it, possibly empty
};

// The ports the system reports (link/serial_port_info.h), in its order.
QList<DetectedPort> detectedPorts();

// "Port COM": asks for the port, prompt "Port de communication", title "Changement du port de
// communication". The field starts on the current port text and offers the detected ports;
// whatever the user types is taken as it is.
class PortDialog : public QDialog
{
    Q_OBJECT

public:
    PortDialog(const QString &currentPort, const QList<DetectedPort> &ports,
               QWidget *parent = nullptr);

    // The text in the field.
    QString portText() const;

    // Shows the dialog modally; the text entered, or an empty text when the user cancels.
    static QString ask(QWidget *parent, const QString &currentPort);

private:
    QComboBox *field_ = nullptr;
};

}  // namespace platine
