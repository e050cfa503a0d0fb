#include "app/port_dialog.h"

#include "link/serial_port_info.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace platine {

QList<DetectedPort> detectedPorts()
{
    QList<DetectedPort> ports;
    const QList<SerialPortInfo> infos = SerialPortInfo::availablePorts();
    for (const SerialPortInfo &info : infos)
        ports.append({info.portName(), info.description()});
    return ports;
}

PortDialog::PortDialog(const QString &currentPort, const QList<DetectedPort> &ports,
                       QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Changement du port de communication"));

    auto *prompt = new QLabel(QStringLiteral("Port de communication"), this);
    field_ = new QComboBox(this);
    field_->setObjectName(QStringLiteral("portField"));
    field_->setEditable(true);
    field_->setInsertPolicy(QComboBox::NoInsert);
    field_->setCompleter(nullptr);
    field_->setMinimumContentsLength(24);
    prompt->setBuddy(field_);

    // The list shows each port with its description; choosing one puts only its name in the
    // field, which is what the settings file keeps.
    for (const DetectedPort &port : ports) {
        const QString shown = port.description.isEmpty()
                                  ? port.name
                                  : QStringLiteral("%1 (%2)").arg(port.name, port.description);
        field_->addItem(shown, port.name);
    }
    connect(field_, &QComboBox::activated, this,
            [this](int index) { field_->setEditText(field_->itemData(index).toString()); });
    field_->setCurrentIndex(-1);
    field_->setEditText(currentPort);
    field_->lineEdit()->selectAll();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

QString PortDialog::portText() const
{
    return field_->currentText();
}

QString PortDialog::ask(QWidget *parent, const QString &currentPort)
{
    PortDialog dialog(currentPort, detectedPorts(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.portText();
}

}  // namespace platine
