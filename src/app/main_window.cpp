#include "app/main_window.h"

#include "app/help_window.h"
#include "app/history_controller.h"
#include "app/menu_bar.h"
#include "app/message_strip.h"
#include "app/port_dialog.h"
#include "app/port_indicator.h"
#include "app/window_layout.h"
#include "link/clock_send.h"
#include "panels/board_drift_label.h"
#include "panels/clock_face.h"
#include "panels/clock_panel.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_window.h"
#include "relays/program_edits.h"
#include "relays/upload.h"
#include "widgets/app_info.h"
#include "widgets/ui_layout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

namespace platine {

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent), requestedSettingsPath_(options.settingsPath),
      programFileToOpen_(options.programFile), clock_(options.clock)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(mainWindowCaption() + QStringLiteral("[*]"));
    setWindowIcon(clockFaceIcon());
    link_ = new BoardLink(this);
    link_->setObjectName(QStringLiteral("boardLink"));

    // The client area keeps its size and scrolls inside a smaller window; the message strip
    // lies under it.
    messages_ = new MessageStrip;
    messages_->setHint(QStringLiteral(
        "Pour commencer : « Programmation » pour écrire les horaires des relais, « Paramètrage » "
        "pour choisir le port et mettre la platine à l'heure."));
    clientArea_ = buildScrollingClientArea(
        *this, QSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight)), messages_);
    usePanelFont(clientArea_);

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    portIndicator_ = new PortIndicator(statusBar());
    portIndicator_->setPeer(options.peer);
    statusBar()->addPermanentWidget(portIndicator_, 1);
    document_ = new ProgramDocument(
        this, [this]() -> ProgramPanel & { return *programPanel(); }, *messages_);
    connect(document_, &ProgramDocument::currentFileChanged, this,
            &MainWindow::showProgramFileInTitle);
    connect(document_, &ProgramDocument::modifiedChanged, this, &QWidget::setWindowModified);
    buildMenuBar(menuBar(), this,
                 {[this] { document_->save(); }, [this] { document_->saveAs(); },
                  [this] { document_->open(); }, [this] { quit(); },
                  [this] { panels_->show(WorkPanels::ClockSetting); },
                  [this] { panels_->show(WorkPanels::ClockDisplay); }, [this] { choosePort(); },
                  [this] { panels_->show(WorkPanels::Programming); }, [this] { showWeekChart(); },
                  [this] { panels_->show(WorkPanels::SwitchPositions); },
                  [this] { QMessageBox::information(this, aboutBoxTitle(), aboutBoxMessage()); },
                  document_->makeRecentFilesMenu(this), document_->undoGroup(),
                  [this] { showHelpWindow(this); },
                  [this] {
                      if (document_->startNew(now().date()))
                          panels_->show(WorkPanels::Programming);
                  },
                  [this] { history_->showHistory(); }});

    panels_ = new WorkPanels(clientArea_, [this] { return now(); });
    panels_->setPortOpenQuery([this] { return link_->isPortOpen(); });
    connect(panels_, &WorkPanels::programPanelBuilt, document_, &ProgramDocument::followPanel);
    connect(panels_, &WorkPanels::clockSendRequested, this, &MainWindow::sendClock);
    connect(panels_, &WorkPanels::uploadRequested, this, &MainWindow::uploadTimetable);
    connect(panels_, &WorkPanels::fieldCorrected, this,
            [this] { messages_->clearTopic(MessageStrip::Topic::Field); });
    connect(panels_, &WorkPanels::portOpenRequested, this, [this] {
        messages_->showError(link_->openPort().reason, MessageStrip::Topic::Port);
        panels_->showPortState(link_->isPortOpen());  // a failed opening keeps "Port fermé"
    });
    connect(panels_, &WorkPanels::portCloseRequested, link_, &BoardLink::closePort);
    connect(link_, &BoardLink::textReceived, panels_, &WorkPanels::showBoardText);
    auto *drift = new BoardDriftLabel([this] { return now(); }, this);
    statusBar()->addPermanentWidget(drift);
    drift->follow(*link_);
    connect(link_, &BoardLink::portOpenChanged, this, [this](bool open) {
        panels_->showPortState(open);
        if (open)  // a port failure still on show is stale; any other message stays
            messages_->clearTopic(MessageStrip::Topic::Port);
    });
    connect(link_, &BoardLink::portLost, this,
            [this](const QString &text) { messages_->showError(text, MessageStrip::Topic::Port); });

    statusClock_ = new QTimer(this);
    statusClock_->setObjectName(QStringLiteral("statusClock"));
    statusClock_->setInterval(kStatusClockIntervalMs);
    connect(statusClock_, &QTimer::timeout, panels_, &WorkPanels::showPcTime);

    load();
    history_ =
        new HistoryController(*this, *link_, *messages_, *panels_, *document_, options.journalPath);
    fitToScreen(*this, clientArea_, messages_);  // the whole client area at 100 %
    statusClock_->start();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (document_->mayDropChanges())
        event->accept();
    else
        event->ignore();
}

void MainWindow::load()
{
    settingsPath_ =
        requestedSettingsPath_.isEmpty() ? defaultSettingsPath() : requestedSettingsPath_;
    if (const QString note = BoardLink::defaultSettingsNote();
        requestedSettingsPath_.isEmpty() && !note.isEmpty())
        messages_->showWarning(note);
    link_->setSettingsPath(settingsPath_);
    // Read once: the timetable (for the editor, once built) and the port.
    const ProfileFileContents settings = loadProfileFile(settingsPath_);
    const ProgramReadResult read = readProgram(settings);
    panels_->setRestoredProgram(read);
    messages_->showError(read.errorMessage);
    if (read.program() == RelayProgram{})  // a first start: every field empty
        messages_->setHint(QStringLiteral(
            "Aucun programme enregistré : « Fichier » › « Nouveau » (Ctrl+N) prépare un programme "
            "neutre, à compléter pour les seuls relais utilisés, puis « Programmer »."));
    link_->loadPortSetting(settings);  // the port stays closed
    portIndicator_->follow(*link_);
    // A file named on the command line, over the restored timetable.
    if (!programFileToOpen_.isEmpty())
        document_->openNamedFile(programFileToOpen_);
}

QDateTime MainWindow::now() const
{
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void MainWindow::showProgramFileInTitle(const QString &path)
{
    // The modified mark shows before the file's name.
    setWindowTitle(
        QStringLiteral("%1 — [*]%2").arg(mainWindowCaption(), QFileInfo(path).fileName()));
}

void MainWindow::quit()
{
    // Ends the program at once once the timetable is safe: nothing else is closed or written on
    // the way out.
    if (document_->mayDropChanges())
        QCoreApplication::exit(0);
}

void MainWindow::choosePort()
{
    const QString current = link_->port();
    const QString answer =
        portPrompt_ ? portPrompt_(this, current) : PortDialog::ask(this, current);
    if (answer.isEmpty())
        return;
    const ProfileWriteResult result = link_->changePort(answer);
    portIndicator_->setPort(link_->port());
    messages_->showError(result.errorMessage);
}

void MainWindow::showWeekChart()
{
    if (!weekChart_) {
        weekChart_ = new WeekChartWindow(
            programPanel()->editor(), [this] { return now(); }, this);
        connect(weekChart_, &WeekChartWindow::message, this, [this](const QString &text, bool bad) {
            bad ? messages_->showError(text) : messages_->showInformation(text);
        });
        weekChart_->setWindowModified(document_->isModified());
        connect(document_, &ProgramDocument::modifiedChanged, weekChart_,
                &QWidget::setWindowModified);
    }
    weekChart_->show();
    weekChart_->raise();
    weekChart_->activateWindow();
}

void MainWindow::sendClock(const ClockFields &fields)
{
    // Every field is read before the port is touched: a frame goes out whole or not at all.
    ClockPanel *panel = clockPanel();
    const ClockSendResult result = panel->followsPcClock()
                                       ? sendPcClock(*link_, [this] { return now(); })
                                       : sendClockFields(*link_, fields);
    panel->showSendResult(result);
    const QString advice =
        result.fieldError && panel->followsPcClock()
            ? QStringLiteral(" Réglez l'horloge du PC, ou saisissez l'heure à la main.")
            : QString();
    if (result.sent())
        messages_->showInformation(result.message());
    else
        messages_->showError(result.message() + advice, result.fieldError
                                                            ? MessageStrip::Topic::Field
                                                            : MessageStrip::Topic::Port);
    history_->noteClockSend(result);
}

void MainWindow::uploadTimetable()
{
    const RelayProgram program = programPanel()->program();
    const UploadResult result = uploadProgram(program, settingsPath_, *link_, now().date());
    if (result.stored)
        document_->markKept();  // param.ini holds it now
    if (result.fieldError)
        showUnsendableFields(program);
    else if (result.sent && result.remarks.isEmpty() && result.stored)
        messages_->showInformation(result.message);
    else if (result.sent && result.stored)
        messages_->showWarning(result.message);  // stays: it asks for a look
    else  // a port failure alone is the port's; else it is about param.ini
        messages_->showError(result.message, result.stored ? MessageStrip::Topic::Port
                                                           : MessageStrip::Topic::Other);
    history_->noteUpload(result, program, now().date());
}

void MainWindow::showUnsendableFields(const RelayProgram &program)
{
    // Every field that cannot be sent is marked at once; the first one takes the focus.
    const QList<ProgramFieldError> fields = unsendableFields(program);
    const ProgramCorrection correction = correctedProgram(program, now().date());
    for (qsizetype i = fields.size() - 1; i >= 0; --i)
        programPanel()->showFieldError(fields.at(i).textIndex);
    messages_->showError(unsendableMessage(program, fields, correction),
                         MessageStrip::Topic::Field);
    if (correction.changes())
        messages_->setAction(QStringLiteral("Co&rriger"), [this, corrected = correction.corrected] {
            programPanel()->editor().applyEdit(QStringLiteral("Corriger"), corrected);
        });
}

}  // namespace platine
