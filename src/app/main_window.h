#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace platine {

class BoardLink;
class ClockDisplayPanel;
class ClockPanel;
class ProgramPanel;
class SwitchPanel;

struct MainWindowOptions
{
    // The settings file; empty means param.ini in the program's folder.
    QString settingsPath;
    // The PC clock; empty means QDateTime::currentDateTime.
    std::function<QDateTime()> clock;
};

// Form1, the tool's working window: the menu bar, the four work panels lying on top of each
// other in the client area (all hidden at first), the two status clocks and the status bar that
// shows the link's messages. The window's load step (Form_Load) runs when it is constructed.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The client area, in twips.
    static constexpr int kClientWidth = 13425;
    static constexpr int kClientHeight = 9105;
    static constexpr int kStatusClockIntervalMs = 1000;

    // Asks for the serial port ("Port COM"): the text entered, empty when the user cancels.
    using PortPrompt = std::function<QString(QWidget *parent, const QString &currentPort)>;

    explicit MainWindow(const MainWindowOptions &options = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // param.ini in the program's folder.
    static QString defaultSettingsPath();

    QString settingsPath() const { return settingsPath_; }
    BoardLink &link() { return *link_; }

    ProgramPanel *programPanel() const { return frame4_; }            // Frame4
    ClockPanel *clockPanel() const { return frame1_; }                // Frame1
    ClockDisplayPanel *clockDisplayPanel() const { return frame3_; }  // Frame3
    SwitchPanel *switchPanel() const { return frame5_; }              // Frame5

    // Replaces the "Port COM" dialog (tests answer it without a modal dialog).
    void setPortPrompt(PortPrompt prompt);

    // Asks for a program file: the chosen path, empty when the user cancels.
    enum class FileDialogMode { Save, Open };
    using FilePrompt = std::function<QString(QWidget *parent, FileDialogMode mode)>;
    // Replaces the file dialogs of "Enregistrer sous" and "Ouvrir" (for tests).
    void setFilePrompt(FilePrompt prompt);

private slots:
    // Menu bar.
    void n_param_Click();
    void n_quit_Click();
    void n_mise_a_l_heure_Click();
    void n_heure_platine_Click();
    void n_port_Click();
    void n_prog_Click();
    void n_position_Click();
    void n_blanc_Click();
    void n_a_propos_de_Click();
    void n_enregistrer_Click();
    void n_ouvrir_Click();

    // Clock-setting panel: "Programmation" sends the clock frame, "heure PC" fills the fields.
    void Command1_Click();
    void Command4_Click();

    // Programming panel: "Programmer" uploads the timetable.
    void Command7_Click();

    // "Quitter" on each panel.
    void Command5_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();

    // Clock display: "Ouverture port", "Fermeture port", the board's text and its mirrors.
    void Command2_Click();
    void Command3_Click();
    void Text1_Change();
    void Text1_Click();
    void showReceivedText(const QString &text);
    void showPortState(bool open);

    // Status clocks.
    void Timer1_Timer();
    void Timer2_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void buildMenus();
    QAction *addAction(QMenu *menu, const QString &text, const QString &name,
                       void (MainWindow::*handler)());
    QAction *addTopLevelAction(const QString &text, const QString &name,
                               void (MainWindow::*handler)());
    QDateTime now() const;
    void showStatus(const QString &message);
    // A message about the port (one that cannot be opened, written or that was lost): it goes
    // once the port opens.
    void showPortError(const QString &message);
    QString askForProgramFile(FileDialogMode mode);

    QString requestedSettingsPath_;
    QString settingsPath_;
    std::function<QDateTime()> clock_;
    PortPrompt portPrompt_;
    FilePrompt filePrompt_;
    QString portError_;  // the port message last shown in the status bar

    BoardLink *link_ = nullptr;
    ProgramPanel *frame4_ = nullptr;
    ClockPanel *frame1_ = nullptr;
    ClockDisplayPanel *frame3_ = nullptr;
    SwitchPanel *frame5_ = nullptr;
    QTimer *timer1_ = nullptr;
    QTimer *timer2_ = nullptr;
};

}  // namespace platine
