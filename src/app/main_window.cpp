#include "app/main_window.h"

#include "app/clock_display_panel.h"
#include "app/clock_face.h"
#include "app/clock_panel.h"
#include "app/port_dialog.h"
#include "app/switch_panel.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "relays/program_panel.h"
#include "relays/relay_editor.h"
#include "relays/upload.h"
#include "widgets/app_info.h"
#include "widgets/ui_layout.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace platine {

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent), requestedSettingsPath_(options.settingsPath), clock_(options.clock)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(mainWindowCaption());
    setWindowIcon(clockFaceIcon());

    link_ = new BoardLink(this);
    link_->setObjectName(QStringLiteral("boardLink"));

    auto *clientArea = new QWidget(this);
    clientArea->setObjectName(QStringLiteral("clientArea"));
    clientArea->setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    usePanelFont(clientArea);
    setCentralWidget(clientArea);

    // Created from the bottom of the stack to the top: where two visible panels overlap, the
    // clock display lies over the programming panel and over the top strip of the clock-setting
    // panel, so its buttons stay usable.
    frame4_ = new ProgramPanel(clientArea, [this] { return now(); });
    frame1_ = new ClockPanel(clientArea);
    frame3_ = new ClockDisplayPanel(clientArea);
    frame5_ = new SwitchPanel(clientArea);
    for (QWidget *panel : {static_cast<QWidget *>(frame4_), static_cast<QWidget *>(frame1_),
                           static_cast<QWidget *>(frame3_), static_cast<QWidget *>(frame5_)})
        panel->hide();

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    buildMenus();

    connect(frame4_->command5(), &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(frame1_->command8(), &QPushButton::clicked, this, &MainWindow::Command8_Click);
    connect(frame3_->command9(), &QPushButton::clicked, this, &MainWindow::Command9_Click);
    connect(frame5_->command10(), &QPushButton::clicked, this, &MainWindow::Command10_Click);
    connect(frame1_->command1(), &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(frame1_->command4(), &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(frame4_->command7(), &QPushButton::clicked, this, &MainWindow::Command7_Click);
    connect(frame3_->command2(), &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(frame3_->command3(), &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(frame3_->text1(), &QLineEdit::textChanged, this, &MainWindow::Text1_Change);
    frame3_->text1()->installEventFilter(this);

    connect(link_, &BoardLink::textReceived, this, &MainWindow::showReceivedText);
    connect(link_, &BoardLink::portOpenChanged, this, &MainWindow::showPortState);
    connect(link_, &BoardLink::message, this, &MainWindow::showPortError);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kStatusClockIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(kStatusClockIntervalMs);
    connect(timer2_, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();

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

void MainWindow::Form_Load()
{
    // 1. The relay editor's day lists and enable boxes.
    frame4_->prepareEditor();
    // 2. The settings file.
    settingsPath_ =
        requestedSettingsPath_.isEmpty() ? defaultSettingsPath() : requestedSettingsPath_;
    link_->setSettingsPath(settingsPath_);
    // 3. The last uploaded timetable.
    showStatus(frame4_->restoreProgram(settingsPath_));
    // 4. The port number; the port stays closed.
    link_->loadPortSetting();
}

QAction *MainWindow::addAction(QMenu *menu, const QString &text, const QString &name,
                               void (MainWindow::*handler)())
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

QAction *MainWindow::addTopLevelAction(const QString &text, const QString &name,
                                       void (MainWindow::*handler)())
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    menuBar()->addAction(action);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    fichier->setObjectName(QStringLiteral("n_fichier"));
    fichier->menuAction()->setObjectName(QStringLiteral("n_fichier"));
    addAction(fichier, QStringLiteral("Enregistrer sous"), QStringLiteral("n_enregistrer"),
              &MainWindow::n_enregistrer_Click);
    addAction(fichier, QStringLiteral("Ouvrir"), QStringLiteral("n_ouvrir"),
              &MainWindow::n_ouvrir_Click);
    addAction(fichier, QStringLiteral("Quitter"), QStringLiteral("n_quit"),
              &MainWindow::n_quit_Click);

    QMenu *param = bar->addMenu(QStringLiteral("Paramètrage"));
    param->setObjectName(QStringLiteral("n_param"));
    param->menuAction()->setObjectName(QStringLiteral("n_param"));
    connect(param->menuAction(), &QAction::triggered, this, &MainWindow::n_param_Click);
    addAction(param, QStringLiteral("Mise à l'heure platine"), QStringLiteral("n_mise_a_l_heure"),
              &MainWindow::n_mise_a_l_heure_Click);
    addAction(param, QStringLiteral("Affichage heure platine"), QStringLiteral("n_heure_platine"),
              &MainWindow::n_heure_platine_Click);
    addAction(param, QStringLiteral("Port COM"), QStringLiteral("n_port"),
              &MainWindow::n_port_Click);

    addTopLevelAction(QStringLiteral("Programmation"), QStringLiteral("n_prog"),
                      &MainWindow::n_prog_Click);
    addTopLevelAction(QStringLiteral("Position Switch"), QStringLiteral("n_position"),
                      &MainWindow::n_position_Click);
    addTopLevelAction(QString(12, u' '), QStringLiteral("n_blanc"), &MainWindow::n_blanc_Click);
    addTopLevelAction(QStringLiteral("à propos de ..."), QStringLiteral("n_a_propos_de"),
                      &MainWindow::n_a_propos_de_Click);
}

QDateTime MainWindow::now() const
{
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void MainWindow::showStatus(const QString &message)
{
    if (!message.isEmpty())
        statusBar()->showMessage(message);
}

void MainWindow::showPortError(const QString &message)
{
    showStatus(message);
    portError_ = message;
}

void MainWindow::setFilePrompt(FilePrompt prompt)
{
    filePrompt_ = std::move(prompt);
}

QString MainWindow::askForProgramFile(FileDialogMode mode)
{
    if (filePrompt_)
        return filePrompt_(this, mode);
    // Program files are offered as .txt files; the name is taken as chosen, without an
    // extension added, and an existing file is replaced only after the dialog's prompt.
    const QString filter = QStringLiteral("Programmes (*.txt);;Tous les fichiers (*)");
    return mode == FileDialogMode::Save
               ? QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer sous"), QString(),
                                              filter)
               : QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), QString(), filter);
}

// --- Program files ---------------------------------------------------------------------------

void MainWindow::n_enregistrer_Click()
{
    const QString path = askForProgramFile(FileDialogMode::Save);
    if (path.isEmpty())
        return;  // cancelled
    const QString error = frame4_->saveProgramFile(path);
    if (error.isEmpty())
        statusBar()->showMessage(QStringLiteral("Programme enregistré dans %1.").arg(path), 5000);
    else
        showStatus(error);
}

void MainWindow::n_ouvrir_Click()
{
    const QString path = askForProgramFile(FileDialogMode::Open);
    if (path.isEmpty())
        return;  // cancelled
    const QString error = frame4_->openProgramFile(path);
    if (error.isEmpty())
        statusBar()->showMessage(QStringLiteral("Programme ouvert : %1.").arg(path), 5000);
    else
        showStatus(error);
}

// --- Clock-setting panel ---------------------------------------------------------------------

void MainWindow::Command4_Click()
{
    frame1_->fillFromPcClock(now());
}

void MainWindow::Command1_Click()
{
    frame1_->text4()->clear();
    // Every field is read before the port is touched: a frame goes out whole or not at all.
    const ClockFrameResult encoded = encodeClockFrame(frame1_->fields());
    if (!encoded.ok()) {
        showStatus(encoded.error->message());
        frame1_->markInvalid(encoded.error->field);
        return;
    }
    if (link_->send(encoded.frame))
        statusBar()->showMessage(QStringLiteral("Heure envoyée à la platine."), 5000);
}

// --- Programming panel -----------------------------------------------------------------------

void MainWindow::Command7_Click()
{
    frame4_->text3()->clear();
    const UploadResult result = uploadProgram(frame4_->editor().snapshot(), settingsPath_, *link_);
    if (result.fieldError)
        frame4_->editor().markInvalidText(result.fieldError->textIndex);
    if (result.stored && !result.sent)
        showPortError(result.message);  // only the port stands in the way
    else if (!result.message.isEmpty())
        showStatus(result.message);
    else
        statusBar()->showMessage(QStringLiteral("Programme envoyé à la platine."), 5000);
}

// --- Menu bar --------------------------------------------------------------------------------

void MainWindow::n_param_Click() {}

void MainWindow::n_quit_Click()
{
    // Ends the program at once: nothing is closed or written on the way out.
    QCoreApplication::exit(0);
}

void MainWindow::n_mise_a_l_heure_Click()
{
    frame4_->hide();
    frame5_->hide();
    frame1_->fillFromPcClock(now());
    frame1_->show();
}

void MainWindow::n_heure_platine_Click()
{
    frame3_->show();
    frame5_->hide();
}

void MainWindow::n_port_Click()
{
    const QString current = link_->comm().commPort();
    const QString answer =
        portPrompt_ ? portPrompt_(this, current) : PortDialog::ask(this, current);
    if (answer.isEmpty())
        return;
    const ProfileWriteResult result = link_->changePort(answer);
    if (!result.ok)
        statusBar()->showMessage(result.errorMessage);
}

void MainWindow::n_prog_Click()
{
    frame4_->show();
    frame5_->hide();
    frame1_->hide();
    frame3_->hide();
}

void MainWindow::n_position_Click()
{
    frame5_->show();
    frame4_->hide();
    frame1_->hide();
    frame3_->hide();
}

void MainWindow::n_blanc_Click() {}

void MainWindow::n_a_propos_de_Click()
{
    QMessageBox::information(this, aboutBoxTitle(), aboutBoxMessage());
}

// --- "Quitter" buttons: each hides its own panel ---------------------------------------------

void MainWindow::Command5_Click()
{
    frame4_->hide();
}

void MainWindow::Command8_Click()
{
    frame1_->hide();
}

void MainWindow::Command9_Click()
{
    // The port stays as it is.
    frame3_->hide();
}

void MainWindow::Command10_Click()
{
    frame5_->hide();
}

// --- Clock display ---------------------------------------------------------------------------

void MainWindow::Command2_Click()
{
    link_->openPort();
    // A port that could not be opened keeps "Port fermé"; the link has put the reason in the
    // status bar.
    showPortState(link_->isPortOpen());
}

void MainWindow::Command3_Click()
{
    link_->closePort();
    showPortState(link_->isPortOpen());
}

void MainWindow::showPortState(bool open)
{
    frame3_->label8()->setText(ClockDisplayPanel::portStateText(open));
    if (!open)
        return;
    // An open port makes a port failure still on show stale; any other message stays.
    if (!portError_.isEmpty() && statusBar()->currentMessage() == portError_)
        statusBar()->clearMessage();
    portError_.clear();
}

void MainWindow::showReceivedText(const QString &text)
{
    QLineEdit *text1 = frame3_->text1();
    if (text1->text() == text)
        Text1_Change();  // same text again: the mirrors still show it
    else
        text1->setText(text);
}

void MainWindow::Text1_Change()
{
    const QString text = frame3_->text1()->text();
    frame4_->text3()->setText(text);
    frame1_->text4()->setText(text);
}

void MainWindow::Text1_Click()
{
    QLineEdit *text1 = frame3_->text1();
    if (text1->text().isEmpty())
        Text1_Change();  // already empty: the mirrors are emptied all the same
    else
        text1->clear();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == frame3_->text1() && event->type() == QEvent::MouseButtonPress)
        Text1_Click();
    return QMainWindow::eventFilter(watched, event);
}

// --- Status clocks ---------------------------------------------------------------------------

void MainWindow::Timer1_Timer()
{
    frame1_->label1()->setText(QLocale::c().toString(now().time(), u"HH:mm:ss"));
}

void MainWindow::Timer2_Timer()
{
    frame4_->label5()->setText(QLocale::system().toString(now(), QLocale::ShortFormat));
}

}  // namespace platine
