#pragma once

#include "app/file_dialogs.h"
#include "app/save_prompt.h"
#include "link/clock_frame.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>

#include <functional>

class QCloseEvent;
class QTimer;

namespace platine {

class BoardLink;
class ClockDisplayPanel;
class ClockPanel;
class MessageStrip;
class PortIndicator;
class ProgramDocument;
class ProgramPanel;
class SwitchPanel;
class WeekChartWindow;
struct RelayProgram;

struct MainWindowOptions
{
    // The settings file; empty means param.ini in the program's folder.
    QString settingsPath;
    // The PC clock; empty means QDateTime::currentDateTime.
    std::function<QDateTime()> clock;
    // What is on the other end of the port, shown beside it (the simulator in a
    // demonstration); empty: nothing said.
    QString peer;
    // A program file to open once the last uploaded timetable is restored (platine FICHIER).
    QString programFile;
};

// Form1, the tool's working window: the menu bar, the four work panels lying on top of each
// other in the client area (all hidden at first), the two status clocks and the status bar that
// shows the link's messages. It wires what the panels ask for to the link and the files; the
// panels look after their own controls. The load step runs when the window is constructed.
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

    ProgramPanel *programPanel() const { return programPanel_; }            // Frame4
    ClockPanel *clockPanel() const { return clockPanel_; }                // Frame1
    ClockDisplayPanel *clockDisplayPanel() const { return clockDisplayPanel_; }  // Frame3
    SwitchPanel *switchPanel() const { return switchPanel_; }              // Frame5
    MessageStrip *messageStrip() const { return messages_; }
    PortIndicator *portIndicator() const { return portIndicator_; }
    // "Vue de la semaine", once it has been opened.
    WeekChartWindow *weekChartWindow() const { return weekChart_; }

    // Replaces the "Port COM" dialog (tests answer it without a modal dialog).
    void setPortPrompt(PortPrompt prompt);

    // Asks for a program file: the chosen path, empty when the user cancels.
    using FileDialogMode = platine::FileDialogMode;
    using FilePrompt = std::function<QString(QWidget *parent, FileDialogMode mode)>;
    // Replaces the file dialogs of "Enregistrer sous" and "Ouvrir" (for tests).
    void setFilePrompt(FilePrompt prompt);

    // Asks whether to save the edited timetable before it would be lost.
    using SavePrompt = std::function<SaveChoice(QWidget *parent)>;
    // Replaces the "Enregistrer les modifications du programme ?" prompt (for tests).
    void setSavePrompt(SavePrompt prompt);

    // The timetable as a file: current file, modified state, undo, recent files.
    ProgramDocument &document() const { return *document_; }

protected:
    // Closing the window (its close button, Alt+F4) asks first when the timetable has changed.
    void closeEvent(QCloseEvent *event) override;

private:
    // Menu entries.
    void newProgram();
    void saveProgram();
    void saveProgramAs();
    void openProgram();
    void quit();
    void showClockSetting();
    void showClockDisplay();
    void choosePort();
    void showProgramming();
    void showWeekChart();
    void showSwitchPositions();
    void showAbout();

    // What the panels ask for.
    void sendClock(const ClockFields &fields);
    void uploadTimetable();
    // Marks every field "Programmer" cannot send, and offers "Corriger" for what it can fix.
    void showUnsendableFields(const RelayProgram &program);
    void openPort();
    void closePort();
    void mirrorBoardText(const QString &text);

    // What the link reports.
    void showPortState(bool open);

    // Timer1 and Timer2.
    void showPcTime();
    void showPcDateTime();

    void load();
    QDateTime now() const;
    void showStatus(const QString &message);
    void showProgramFileInTitle(const QString &path);
    QString askForFile(FileDialogMode mode);

    QString requestedSettingsPath_;
    QString programFileToOpen_;
    QString settingsPath_;
    std::function<QDateTime()> clock_;
    PortPrompt portPrompt_;
    FilePrompt filePrompt_;

    BoardLink *link_ = nullptr;
    ProgramPanel *programPanel_ = nullptr;
    ClockPanel *clockPanel_ = nullptr;
    ClockDisplayPanel *clockDisplayPanel_ = nullptr;
    SwitchPanel *switchPanel_ = nullptr;
    WeekChartWindow *weekChart_ = nullptr;  // made at its first opening
    ProgramDocument *document_ = nullptr;
    QTimer *timer1_ = nullptr;
    QTimer *timer2_ = nullptr;
    MessageStrip *messages_ = nullptr;
    PortIndicator *portIndicator_ = nullptr;
};

}  // namespace platine
