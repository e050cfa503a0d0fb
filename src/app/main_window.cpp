#include "app/main_window.h"

#include "panels/board_drift_label.h"
#include "panels/clock_display_panel.h"
#include "panels/clock_face.h"
#include "panels/clock_panel.h"
#include "app/file_dialogs.h"
#include "app/help_window.h"
#include "app/menu_bar.h"
#include "app/message_strip.h"
#include "app/port_dialog.h"
#include "app/port_indicator.h"
#include "app/program_document.h"
#include "panels/switch_panel.h"
#include "app/window_layout.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "panels/editor_history.h"
#include "relays/program_checks.h"
#include "relays/program_edits.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "relays/upload.h"
#include "store/program_file.h"
#include "panels/week_chart_window.h"
#include "widgets/app_info.h"
#include "widgets/ui_layout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace platine {

namespace {

// The timetable went out as typed; its remarks are told, the first one in full.
QString uploadedMessage(const QList<ProgramFinding> &remarks)
{
    if (remarks.isEmpty())
        return QStringLiteral("Programme envoyé à la platine.");
    const QString count = remarks.size() == 1 ? QStringLiteral("1 remarque")
                                              : QStringLiteral("%1 remarques").arg(remarks.size());
    return QStringLiteral("Programme envoyé à la platine, avec %1. %2")
        .arg(count, remarks.first().text());
}

}  // namespace

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
    QWidget *clientArea = buildScrollingClientArea(
        *this, QSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight)), messages_);
    usePanelFont(clientArea);

    // Created from the bottom of the stack to the top: where two visible panels overlap, the
    // clock display lies over the programming panel and over the top strip of the clock-setting
    // panel, so its buttons stay usable.
    const auto clock = [this] { return now(); };
    frame4_ = new ProgramPanel(clientArea, clock);
    frame1_ = new ClockPanel(clientArea, clock);
    frame3_ = new ClockDisplayPanel(clientArea);
    frame5_ = new SwitchPanel(clientArea);
    for (QWidget *panel : {static_cast<QWidget *>(frame4_), static_cast<QWidget *>(frame1_),
                           static_cast<QWidget *>(frame3_), static_cast<QWidget *>(frame5_)})
        panel->hide();

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    portIndicator_ = new PortIndicator(statusBar());
    portIndicator_->setPeer(options.peer);
    statusBar()->addPermanentWidget(portIndicator_, 1);
    document_ = new ProgramDocument(this, *frame4_, *messages_,
                                    [this](FileDialogMode mode) { return askForFile(mode); });
    connect(document_, &ProgramDocument::currentFileChanged, this,
            &MainWindow::showProgramFileInTitle);
    connect(document_, &ProgramDocument::modifiedChanged, this, &QWidget::setWindowModified);
    buildMenuBar(menuBar(), this,
                 {[this] { saveProgram(); }, [this] { saveProgramAs(); }, [this] { openProgram(); },
                  [this] { quit(); }, [this] { showClockSetting(); },
                  [this] { showClockDisplay(); }, [this] { choosePort(); },
                  [this] { showProgramming(); }, [this] { showWeekChart(); },
                  [this] { showSwitchPositions(); }, [this] { showAbout(); },
                  document_->makeRecentFilesMenu(this), document_->history().stack(),
                  [this] { showHelpWindow(this); }, [this] { newProgram(); }});

    connect(frame1_, &ClockPanel::clockSendRequested, this, &MainWindow::sendClock);
    connect(frame4_, &ProgramPanel::uploadRequested, this, &MainWindow::uploadTimetable);
    connect(frame3_, &ClockDisplayPanel::portOpenRequested, this, &MainWindow::openPort);
    connect(frame3_, &ClockDisplayPanel::portCloseRequested, this, &MainWindow::closePort);
    connect(frame3_, &ClockDisplayPanel::boardTextShown, this, &MainWindow::mirrorBoardText);
    const auto clearFieldError = [this] { messages_->clearTopic(MessageStrip::Topic::Field); };
    connect(frame1_, &ClockPanel::fieldCorrected, this, clearFieldError);
    connect(frame4_, &ProgramPanel::fieldCorrected, this, clearFieldError);

    connect(link_, &BoardLink::textReceived, frame3_, &ClockDisplayPanel::showBoardText);
    auto *drift = new BoardDriftLabel([this] { return now(); }, this);
    statusBar()->addPermanentWidget(drift);
    drift->follow(*link_);
    connect(link_, &BoardLink::portOpenChanged, this, &MainWindow::showPortState);
    connect(link_, &BoardLink::message, this,
            [this](const QString &text) { messages_->showError(text, MessageStrip::Topic::Port); });

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kStatusClockIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &MainWindow::showPcTime);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(kStatusClockIntervalMs);
    connect(timer2_, &QTimer::timeout, this, &MainWindow::showPcDateTime);

    load();

    fitToScreen(*this, clientArea, messages_);  // the whole client area at 100 %

    timer1_->start();
    timer2_->start();
}

MainWindow::~MainWindow() = default;

QString MainWindow::defaultSettingsPath()
{
    return BoardLink::defaultSettingsPath();
}

void MainWindow::setPortPrompt(PortPrompt prompt)
{
    portPrompt_ = std::move(prompt);
}

void MainWindow::setFilePrompt(FilePrompt prompt)
{
    filePrompt_ = std::move(prompt);
}

void MainWindow::setSavePrompt(SavePrompt prompt)
{
    document_->setSavePrompt(std::move(prompt));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (document_->mayDropChanges())
        event->accept();
    else
        event->ignore();
}

QString MainWindow::askForFile(FileDialogMode mode)
{
    const QString path =
        filePrompt_ ? filePrompt_(this, mode) : askForProgramFile(this, mode, lastProgramFolder());
    if (path.isEmpty())
        return path;
    rememberProgramFolder(path);
    return mode == FileDialogMode::Save ? withProgramExtension(path) : path;
}

void MainWindow::load()
{
    // 1. The relay editor's day lists and enable boxes.
    frame4_->prepareEditor();
    // 2. The settings file.
    settingsPath_ =
        requestedSettingsPath_.isEmpty() ? defaultSettingsPath() : requestedSettingsPath_;
    if (const QString note = BoardLink::defaultSettingsNote();
        requestedSettingsPath_.isEmpty() && !note.isEmpty())
        messages_->showWarning(note);
    link_->setSettingsPath(settingsPath_);
    // Read once: it gives the timetable and the port.
    const ProfileFileContents settings = loadProfileFile(settingsPath_);
    // 3. The last uploaded timetable.
    showStatus(frame4_->restoreProgram(readProgram(settings)));
    if (frame4_->program() == RelayProgram{})  // a first start: every field empty
        messages_->setHint(QStringLiteral(
            "Aucun programme enregistré : « Fichier » › « Nouveau » (Ctrl+N) prépare un programme "
            "neutre, à compléter pour les seuls relais utilisés, puis « Programmer »."));
    // 4. The port number; the port stays closed.
    link_->loadPortSetting(settings);
    portIndicator_->follow(*link_);
    // A file named on the command line, over the restored timetable.
    if (!programFileToOpen_.isEmpty())
        document_->openNamedFile(programFileToOpen_);
}

QDateTime MainWindow::now() const
{
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void MainWindow::showStatus(const QString &message)
{
    messages_->showError(message);
}

void MainWindow::showProgramFileInTitle(const QString &path)
{
    // The modified mark shows before the file's name.
    setWindowTitle(
        QStringLiteral("%1 — [*]%2").arg(mainWindowCaption(), QFileInfo(path).fileName()));
}

// --- Menu entries ----------------------------------------------------------------------------

void MainWindow::newProgram()
{
    if (!document_->startNew(neutralProgram(now().date())))
        return;
    showProgramming();
    messages_->showInformation(QStringLiteral(
        "Nouveau programme : toutes les heures à 00:00:00, les dates à aujourd'hui, aucun jour, "
        "tous les relais inactifs."));
}

void MainWindow::saveProgram()
{
    document_->save();
}

void MainWindow::saveProgramAs()
{
    document_->saveAs();
}

void MainWindow::openProgram()
{
    document_->open();
}

void MainWindow::quit()
{
    // Ends the program at once once the timetable is safe: nothing else is closed or written on
    // the way out.
    if (document_->mayDropChanges())
        QCoreApplication::exit(0);
}

void MainWindow::showClockSetting()
{
    frame4_->hide();
    frame5_->hide();
    frame1_->followPcClock(now());
    frame1_->show();
    frame1_->field(ClockField::Hours)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showClockDisplay()
{
    frame3_->show();
    frame5_->hide();
    frame3_->command2()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::choosePort()
{
    const QString current = link_->comm().commPort();
    const QString answer =
        portPrompt_ ? portPrompt_(this, current) : PortDialog::ask(this, current);
    if (answer.isEmpty())
        return;
    const ProfileWriteResult result = link_->changePort(answer);
    portIndicator_->setPort(link_->comm().commPort());
    if (!result.ok)
        showStatus(result.errorMessage);
}

void MainWindow::showProgramming()
{
    frame4_->show();
    frame5_->hide();
    frame1_->hide();
    frame3_->hide();
    frame4_->editor().textField(0)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showWeekChart()
{
    if (!weekChart_) {
        weekChart_ = new WeekChartWindow(
            frame4_->editor(), [this] { return now(); }, this);
        connect(weekChart_, &WeekChartWindow::message, this,
                [this](const QString &text, bool failure) {
                    if (failure)
                        showStatus(text);
                    else
                        messages_->showInformation(text);
                });
        weekChart_->setWindowModified(document_->isModified());
        connect(document_, &ProgramDocument::modifiedChanged, weekChart_,
                &QWidget::setWindowModified);
    }
    weekChart_->show();
    weekChart_->raise();
    weekChart_->activateWindow();
}

void MainWindow::showSwitchPositions()
{
    frame5_->show();
    frame4_->hide();
    frame1_->hide();
    frame3_->hide();
    frame5_->command10()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showAbout()
{
    QMessageBox::information(this, aboutBoxTitle(), aboutBoxMessage());
}

// --- What the panels ask for -----------------------------------------------------------------

void MainWindow::sendClock(const ClockFields &fields)
{
    // Every field is read before the port is touched: a frame goes out whole or not at all.
    if (!frame1_->followsPcClock()) {
        const ClockFrameResult encoded = encodeClockFrame(fields);
        if (!encoded.ok()) {
            messages_->showError(encoded.error->message(), MessageStrip::Topic::Field);
            frame1_->markInvalid(encoded.error->field);
        } else if (link_->send(encoded.frame)) {
            messages_->showInformation(clockSentMessage(encoded.moment));
        }
        return;
    }
    // Following the PC clock: the frame carries the PC time of the moment it is built, once the
    // port is open, however long the panel has been on show.
    const auto pcClockFrame = [this] {
        const QDateTime pcTime = now();
        ClockFrameResult encoded = encodeClockFrame(clockFieldsFor(pcTime));
        if (!encoded.ok())
            messages_->showError(pcClockRefusal(pcTime, *encoded.error) +
                                     QStringLiteral(" Réglez l'horloge du PC, ou saisissez "
                                                    "l'heure à la main."),
                                 MessageStrip::Topic::Field);
        return encoded;
    };
    if (!pcClockFrame().ok() || !link_->ensurePortOpen())
        return;
    const ClockFrameResult encoded = pcClockFrame();
    if (!encoded.ok())
        return;
    frame1_->setFields(clockFieldsFor(encoded.moment));
    if (link_->send(encoded.frame))
        messages_->showInformation(clockSentMessage(encoded.moment));
}

void MainWindow::uploadTimetable()
{
    const RelayProgram program = frame4_->program();
    const UploadResult result = uploadProgram(program, settingsPath_, *link_);
    if (result.stored)
        document_->markKept();  // param.ini holds it now
    if (result.fieldError) {
        showUnsendableFields(program);
    } else if (result.stored && !result.sent) {
        messages_->showError(result.message, MessageStrip::Topic::Port);  // only the port
    } else if (!result.message.isEmpty()) {
        showStatus(result.message);
    } else if (const auto remarks = checkProgram(program, now().date()); remarks.isEmpty()) {
        messages_->showInformation(uploadedMessage(remarks));
    } else {
        messages_->showWarning(uploadedMessage(remarks));  // stays: it asks for a look
    }
}

void MainWindow::showUnsendableFields(const RelayProgram &program)
{
    // Every field that cannot be sent is marked at once; the first one takes the focus.
    const QList<ProgramFieldError> fields = unsendableFields(program);
    const ProgramCorrection correction = correctedProgram(program, now().date());
    for (qsizetype i = fields.size() - 1; i >= 0; --i)
        frame4_->showFieldError(fields.at(i).textIndex);
    messages_->showError(unsendableMessage(program, fields, correction),
                         MessageStrip::Topic::Field);
    if (correction.changes())
        messages_->setAction(QStringLiteral("Co&rriger"), [this, corrected = correction.corrected] {
            frame4_->editor().applyEdit(QStringLiteral("Corriger"), corrected);
        });
}

void MainWindow::openPort()
{
    link_->openPort();
    // A port that could not be opened keeps "Port fermé"; the link has put the reason in the
    // status bar.
    showPortState(link_->isPortOpen());
}

void MainWindow::closePort()
{
    link_->closePort();
    showPortState(link_->isPortOpen());
}

void MainWindow::mirrorBoardText(const QString &text)
{
    frame4_->showBoardText(text);
    frame1_->showBoardText(text);
}

// --- What the link reports -------------------------------------------------------------------

void MainWindow::showPortState(bool open)
{
    frame3_->showPortState(open);
    frame1_->showBoardTextAsLive(open);
    frame4_->showBoardTextAsLive(open);
    // An open port makes a port failure still on show stale; any other message stays.
    if (open)
        messages_->clearTopic(MessageStrip::Topic::Port);
}

// --- Status clocks ---------------------------------------------------------------------------

void MainWindow::showPcTime()
{
    frame1_->showPcTime(now());
}

void MainWindow::showPcDateTime()
{
    frame4_->showPcDateTime(now());
}

}  // namespace platine
