#pragma once

#include "app/file_dialogs.h"
#include "app/program_document.h"
#include "app/save_prompt.h"
#include "app/work_panels.h"
#include "link/board_link.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>

#include <functional>

class QCloseEvent;
class QTimer;

namespace platine {

class HistoryController;
class MessageStrip;
class PortIndicator;
class WeekChartWindow;
struct ClockFields;
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
    // The journal of frames sent; empty means the usual one (see journalFilePath()).
    QString journalPath;
};

// Form1, the tool's working window: the menu bar, the four work panels lying on top of each
// other in the client area, the status clocks and the message strip. It only wires: the panels
// ask for things (their signals), and the window hands them to the link and the files. Each
// panel is built the first time it is needed, hidden; the load step runs when the window is
// constructed.
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
    ~MainWindow() override = default;

    // param.ini in the program's folder.
    static QString defaultSettingsPath() { return BoardLink::defaultSettingsPath(); }

    QString settingsPath() const { return settingsPath_; }
    BoardLink &link() { return *link_; }

    // The panels, built (hidden) on the first call.
    ProgramPanel *programPanel() { return panels_->programPanel(); }                 // Frame4
    ClockPanel *clockPanel() { return panels_->clockPanel(); }                       // Frame1
    ClockDisplayPanel *clockDisplayPanel() { return panels_->clockDisplayPanel(); }  // Frame3
    SwitchPanel *switchPanel() { return panels_->switchPanel(); }                    // Frame5
    MessageStrip *messageStrip() const { return messages_; }
    PortIndicator *portIndicator() const { return portIndicator_; }
    // "Vue de la semaine", once it has been opened.
    WeekChartWindow *weekChartWindow() const { return weekChart_; }

    // Replaces the "Port COM" dialog (tests answer it without a modal dialog).
    void setPortPrompt(PortPrompt prompt) { portPrompt_ = std::move(prompt); }

    // Asks for a program file: the chosen path, empty when the user cancels.
    using FileDialogMode = platine::FileDialogMode;
    using FilePrompt = ProgramDocument::FilePrompt;
    // Replaces the file dialogs of "Enregistrer sous" and "Ouvrir" (for tests).
    void setFilePrompt(FilePrompt prompt) { document_->setFilePrompt(std::move(prompt)); }

    // Asks whether to save the edited timetable before it would be lost.
    using SavePrompt = ProgramDocument::SavePrompt;
    // Replaces the "Enregistrer les modifications du programme ?" prompt (for tests).
    void setSavePrompt(SavePrompt prompt) { document_->setSavePrompt(std::move(prompt)); }

    // The timetable as a file: current file, modified state, undo, recent files.
    ProgramDocument &document() const { return *document_; }
    // The journal of frames sent, the history and what the board should hold.
    HistoryController &history() const { return *history_; }

protected:
    // Closing the window (its close button, Alt+F4) asks first when the timetable has changed.
    void closeEvent(QCloseEvent *event) override;

private:
    // Menu entries.
    void quit();
    void choosePort();
    void showWeekChart();

    // What the panels ask for.
    void sendClock(const ClockFields &fields);
    void uploadTimetable();
    // Marks every field "Programmer" cannot send, and offers "Corriger" for what it can fix.
    void showUnsendableFields(const RelayProgram &program);

    void load();
    QDateTime now() const;
    void showProgramFileInTitle(const QString &path);

    QString requestedSettingsPath_;
    QString programFileToOpen_;
    QString settingsPath_;
    std::function<QDateTime()> clock_;
    PortPrompt portPrompt_;

    BoardLink *link_ = nullptr;
    QWidget *clientArea_ = nullptr;
    WorkPanels *panels_ = nullptr;
    WeekChartWindow *weekChart_ = nullptr;  // made at its first opening
    ProgramDocument *document_ = nullptr;
    QTimer *statusClock_ = nullptr;
    MessageStrip *messages_ = nullptr;
    PortIndicator *portIndicator_ = nullptr;
    HistoryController *history_ = nullptr;
};

}  // namespace platine
