#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platine {

class SwitchDrawing;

// Frame3, "Affichage de l'heure de la platine": shows the text the board sends while it
// displays its clock (Text1), opens and closes the port, and tells whether the port is open
// (Label8). The main window wires the buttons to the serial link.
class ClockDisplayPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kLeft = 3375;
    static constexpr int kTop = 420;
    static constexpr int kWidth = 6495;
    static constexpr int kHeight = 1665;

    explicit ClockDisplayPanel(QWidget *parent = nullptr);

    QLineEdit *boardText() const { return boardText_; }
    QLabel *portStateLabel() const { return portStateLabel_; }
    QPushButton *openPortButton() const { return openPortButton_; }  // "Ouverture port"
    QPushButton *closePortButton() const { return closePortButton_; }  // "Fermeture port"
    QPushButton *quitButton() const { return quitButton_; }  // "Quitter"

    // Label8's caption for a port state.
    static QString portStateText(bool open);

    void showPortState(bool open);
    // Text1: the board's text as last read. Showing the same text again still reports it, so
    // that the mirrors show it too.
    void showBoardText(const QString &text);

signals:
    void portOpenRequested();   // "Ouverture port"
    void portCloseRequested();  // "Fermeture port"
    // Text1 shows this text now (a change, or a click on it); the mirrors follow it.
    void boardTextShown(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *boardText_ = nullptr;
    QLabel *portStateLabel_ = nullptr;
    QPushButton *openPortButton_ = nullptr;
    QPushButton *closePortButton_ = nullptr;
    QPushButton *quitButton_ = nullptr;
    SwitchDrawing *switch_ = nullptr;
};

}  // namespace platine
