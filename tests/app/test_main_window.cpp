// The main window: start-up state, menus, panel switching, the status clocks, the about box,
// the window's layout and "Fichier" / "Quitter".

#include "app/main_window.h"
#include "app/message_strip.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "panels/program_panel.h"
#include "panels/switch_panel.h"
#include "widgets/app_info.h"
#include "widgets/switch_drawing.h"

#include "support/caption_check.h"
#include "support/fake_clock.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace platine;
using platine::test::FakeClock;

namespace {

const QStringList kPanels = {QStringLiteral("Frame4"), QStringLiteral("Frame1"),
                             QStringLiteral("Frame3"), QStringLiteral("Frame5")};

QStringList visiblePanels(const MainWindow &window)
{
    QStringList visible;
    for (const QString &name : kPanels) {
        const auto *panel = window.findChild<QWidget *>(name);
        if (panel && panel->isVisible())
            visible.append(name);
    }
    return visible;
}

// A menu entry or a button, by its control name, as the user would choose it.
bool perform(MainWindow &window, const QString &step)
{
    if (test::chooseAction(window, step))
        return true;
    if (auto *button = window.findChild<QPushButton *>(step)) {
        if (!button->isVisible())
            return false;  // a hidden panel's button cannot be clicked
        QTest::mouseClick(button, Qt::LeftButton);
        return true;
    }
    return false;
}

QWidget *clientArea(MainWindow &window)
{
    return window.findChild<QWidget *>(QStringLiteral("clientArea"));
}

// A caption as shown: the "&" that marks the Alt letter is not part of it.
QString shownCaption(const QAction *action)
{
    return QString(action->text()).remove(u'&');
}

// The widget a click at the centre of `target` reaches.
QWidget *widgetUnder(MainWindow &window, QWidget *target, QPoint offset = {})
{
    const QPoint point = target->mapTo(clientArea(window), target->rect().center() + offset);
    return clientArea(window)->childAt(point);
}

}  // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithEveryPanelHiddenAndThePortClosed();
    void settingsFileDefaultsToTheProgramFolder();
    void menuBarHasTheEntriesInOrder();
    void menuEntriesHaveTheirNamesAndCaptions_data();
    void menuEntriesHaveTheirNamesAndCaptions();
    void panelSwitching_data();
    void panelSwitching();
    void overlappingPanelsKeepTheClockDisplayUsable();
    void panelsKeepTheirContentsWhileHidden();
    void layoutFollowsTheTwipGeometry_data();
    void layoutFollowsTheTwipGeometry();
    void switchDrawingsShowTheLeverPositions_data();
    void switchDrawingsShowTheLeverPositions();
    void switchPanelCaptionsUnderTheirDrawings();
    void captionsFitTheirControls();
    void statusClocksTickWhilePanelsAreHidden();
    void aboutBoxShowsTheVersion();
    void openingWithoutAPortFailsWithoutAMessageBox();
    void fichierQuitterEndsTheProgramAtOnce();  // last: it ends the event loops

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<FakeClock> clock_;
    QString settingsPath_;
};

void MainWindowTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    settingsPath_ = test::settingsPathIn(*dir_);
    clock_ = std::make_unique<FakeClock>(QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)));
    window_ = test::shownMainWindow(test::windowOptions(*dir_, clock_.get()));
    QVERIFY(window_);
}

void MainWindowTest::cleanup()
{
    window_.reset();
    dir_.reset();
}

void MainWindowTest::startsWithEveryPanelHiddenAndThePortClosed()
{
    QCOMPARE(window_->objectName(), QStringLiteral("Form1"));
    QVERIFY(window_->windowTitle().startsWith(
        QStringLiteral("Logiciel de paramètrage platine de contrôle - ")));
    QVERIFY(window_->windowTitle().size() >
            QStringLiteral("Logiciel de paramètrage platine de contrôle - ").size());

    QCOMPARE(visiblePanels(*window_), QStringList());
    for (const QWidget *child : clientArea(*window_)->findChildren<QWidget *>())
        QVERIFY2(!child->isVisible(), qPrintable(child->objectName()));
    // Nothing hidden is built before it is needed, the 60-field editor least of all.
    for (const QString &name : kPanels)
        QVERIFY2(!window_->findChild<QWidget *>(name), qPrintable(name));

    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));
    QCOMPARE(window_->clockDisplayPanel()->boardText()->text(), QStringLiteral("...."));
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), QStringLiteral("..."));
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), QStringLiteral("...."));
    QCOMPARE(window_->clockPanel()->pcTimeLabel()->text(), QStringLiteral("Label1"));
    QCOMPARE(window_->programPanel()->pcDateTimeLabel()->text(), QStringLiteral("..."));

    // The load step has handed the settings file to the link.
    QCOMPARE(window_->settingsPath(), settingsPath_);
    QCOMPARE(window_->link().settingsPath(), settingsPath_);
    // Nothing is written at start-up.
    QVERIFY(!QFile::exists(settingsPath_));
}

void MainWindowTest::settingsFileDefaultsToTheProgramFolder()
{
    MainWindow window;
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/param.ini");
    QCOMPARE(window.settingsPath(), expected);
    QCOMPARE(window.link().settingsPath(), expected);
}

void MainWindowTest::menuBarHasTheEntriesInOrder()
{
    const QList<QAction *> actions = window_->menuBar()->actions();
    QStringList captions;
    QStringList names;
    for (const QAction *action : actions) {
        captions.append(shownCaption(action));
        names.append(action->objectName());
    }
    QCOMPARE(captions, (QStringList{QStringLiteral("Fichier"), QStringLiteral("Édition"),
                                    QStringLiteral("Paramètrage"), QStringLiteral("Programmation"),
                                    QStringLiteral("Vue de la semaine"),
                                    QStringLiteral("Position Switch"), QString(12, u' '),
                                    QStringLiteral("à propos de ..."), QStringLiteral("Aide")}));
    QCOMPARE(names, (QStringList{QStringLiteral("n_fichier"), QStringLiteral("n_edition"),
                                 QStringLiteral("n_param"), QStringLiteral("n_prog"),
                                 QStringLiteral("n_semaine"), QStringLiteral("n_position"),
                                 QStringLiteral("n_blanc"), QStringLiteral("n_a_propos_de"),
                                 QStringLiteral("n_aide")}));
    QVERIFY(actions.at(0)->menu() && actions.at(1)->menu() && actions.at(2)->menu());
    for (int i = 3; i < actions.size(); ++i)
        QVERIFY2(!actions.at(i)->menu(), qPrintable(names.at(i)));

    // The whole bar shows on one line in the window.
    const QRect last = window_->menuBar()->actionGeometry(actions.last());
    QVERIFY(last.isValid());
    QCOMPARE(last.top(), window_->menuBar()->actionGeometry(actions.first()).top());
    QVERIFY(last.right() < window_->menuBar()->width());
}

void MainWindowTest::menuEntriesHaveTheirNamesAndCaptions_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Fichier")
        << QStringLiteral("n_fichier")
        << QStringList{QStringLiteral("Nouveau"),          QStringLiteral("Enregistrer"),
                       QStringLiteral("Enregistrer sous"), QStringLiteral("Ouvrir"),
                       QStringLiteral("Fichiers récents"), QStringLiteral("Quitter")}
        << QStringList{QStringLiteral("n_nouveau"),     QStringLiteral("n_sauver"),
                       QStringLiteral("n_enregistrer"), QStringLiteral("n_ouvrir"),
                       QStringLiteral("n_recents"),     QStringLiteral("n_quit")};
    QTest::newRow("Édition") << QStringLiteral("n_edition")
                             << QStringList{QStringLiteral("Annuler"), QStringLiteral("Rétablir")}
                             << QStringList{QStringLiteral("n_annuler"),
                                            QStringLiteral("n_retablir")};
    QTest::newRow("Paramètrage") << QStringLiteral("n_param")
                                 << QStringList{QStringLiteral("Mise à l'heure platine"),
                                                QStringLiteral("Affichage heure platine"),
                                                QStringLiteral("Port COM"),
                                                QStringLiteral("Historique des envois")}
                                 << QStringList{QStringLiteral("n_mise_a_l_heure"),
                                                QStringLiteral("n_heure_platine"),
                                                QStringLiteral("n_port"),
                                                QStringLiteral("n_historique")};
}

void MainWindowTest::menuEntriesHaveTheirNamesAndCaptions()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, names);
    const auto *qmenu = window_->findChild<QMenu *>(menu);
    QVERIFY(qmenu);
    QStringList shownCaptions;
    QStringList shownNames;
    for (const QAction *action : qmenu->actions()) {
        shownCaptions.append(shownCaption(action));
        shownNames.append(action->objectName());
    }
    QCOMPARE(shownCaptions, captions);
    QCOMPARE(shownNames, names);
}

void MainWindowTest::panelSwitching_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("visible");

    const QString f4 = QStringLiteral("Frame4");
    const QString f1 = QStringLiteral("Frame1");
    const QString f3 = QStringLiteral("Frame3");
    const QString f5 = QStringLiteral("Frame5");
    const QString prog = QStringLiteral("n_prog");
    const QString position = QStringLiteral("n_position");
    const QString setClock = QStringLiteral("n_mise_a_l_heure");
    const QString showClock = QStringLiteral("n_heure_platine");

    QTest::newRow("Programmation") << QStringList{prog} << QStringList{f4};
    QTest::newRow("Position Switch") << QStringList{position} << QStringList{f5};
    QTest::newRow("Mise à l'heure") << QStringList{setClock} << QStringList{f1};
    QTest::newRow("Affichage heure") << QStringList{showClock} << QStringList{f3};
    QTest::newRow("Affichage heure keeps Programmation")
        << QStringList{prog, showClock} << QStringList{f4, f3};
    QTest::newRow("Mise à l'heure keeps Affichage heure")
        << QStringList{showClock, setClock} << QStringList{f1, f3};
    QTest::newRow("Affichage heure keeps Mise à l'heure")
        << QStringList{setClock, showClock} << QStringList{f1, f3};
    QTest::newRow("Mise à l'heure hides Programmation, keeps Affichage heure")
        << QStringList{prog, showClock, setClock} << QStringList{f1, f3};
    QTest::newRow("Affichage heure hides Position Switch")
        << QStringList{position, showClock} << QStringList{f3};
    QTest::newRow("Mise à l'heure hides Position Switch")
        << QStringList{position, setClock} << QStringList{f1};
    QTest::newRow("Programmation hides the clock panels")
        << QStringList{setClock, showClock, prog} << QStringList{f4};
    QTest::newRow("Position Switch hides everything else")
        << QStringList{prog, showClock, position} << QStringList{f5};
    QTest::newRow("Programmation twice") << QStringList{prog, prog} << QStringList{f4};

    QTest::newRow("Quitter on Programmation hides only it")
        << QStringList{prog, showClock, QStringLiteral("Command5")} << QStringList{f3};
    QTest::newRow("Quitter on Affichage heure hides only it")
        << QStringList{prog, showClock, QStringLiteral("Command9")} << QStringList{f4};
    QTest::newRow("Quitter on Mise à l'heure hides only it")
        << QStringList{showClock, setClock, QStringLiteral("Command8")} << QStringList{f3};
    QTest::newRow("Quitter on Affichage heure leaves Mise à l'heure")
        << QStringList{showClock, setClock, QStringLiteral("Command9")} << QStringList{f1};
    QTest::newRow("Quitter on Position Switch")
        << QStringList{position, QStringLiteral("Command10")} << QStringList{};

    QTest::newRow("Paramètrage does nothing")
        << QStringList{prog, showClock, QStringLiteral("n_param")} << QStringList{f4, f3};
    QTest::newRow("the blank entry does nothing")
        << QStringList{setClock, showClock, QStringLiteral("n_blanc")} << QStringList{f1, f3};
    QTest::newRow("Paramètrage and the blank entry at start")
        << QStringList{QStringLiteral("n_param"), QStringLiteral("n_blanc")} << QStringList{};
}

void MainWindowTest::panelSwitching()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, visible);
    for (const QString &step : steps)
        QVERIFY2(perform(*window_, step), qPrintable(step));
    QCOMPARE(visiblePanels(*window_), visible);
    // Switching panels never touches the port.
    QVERIFY(!window_->link().isPortOpen());
}

void MainWindowTest::overlappingPanelsKeepTheClockDisplayUsable()
{
    ClockDisplayPanel *frame3 = window_->clockDisplayPanel();

    // Over the programming panel.
    QVERIFY(perform(*window_, QStringLiteral("n_prog")));
    QVERIFY(perform(*window_, QStringLiteral("n_heure_platine")));
    for (QWidget *control : {static_cast<QWidget *>(frame3->openPortButton()),
                             static_cast<QWidget *>(frame3->closePortButton()),
                             static_cast<QWidget *>(frame3->quitButton()),
                             static_cast<QWidget *>(frame3->boardText())})
        QCOMPARE(widgetUnder(*window_, control), control);

    // Over the clock-setting panel's top strip: the buttons' lower halves lie in it.
    QVERIFY(perform(*window_, QStringLiteral("n_mise_a_l_heure")));
    const QPoint lowerHalf(0, frame3->openPortButton()->height() / 2 - 2);
    for (QWidget *control : {static_cast<QWidget *>(frame3->openPortButton()),
                             static_cast<QWidget *>(frame3->closePortButton()),
                             static_cast<QWidget *>(frame3->quitButton())}) {
        const QPoint inClient =
            control->mapTo(clientArea(*window_), control->rect().center() + lowerHalf);
        QVERIFY(window_->clockPanel()->geometry().contains(inClient));
        QCOMPARE(widgetUnder(*window_, control, lowerHalf), control);
    }
    // The clock-setting panel's own controls stay reachable.
    QCOMPARE(widgetUnder(*window_, window_->clockPanel()->quitButton()),
             window_->clockPanel()->quitButton());
    QCOMPARE(widgetUnder(*window_, window_->clockPanel()->boardTextMirror()),
             window_->clockPanel()->boardTextMirror());
}

void MainWindowTest::panelsKeepTheirContentsWhileHidden()
{
    QVERIFY(perform(*window_, QStringLiteral("n_prog")));
    QLineEdit *text3 = window_->programPanel()->boardTextMirror();
    text3->setText(QStringLiteral("typed by hand"));
    QVERIFY(perform(*window_, QStringLiteral("Command5")));
    QVERIFY(perform(*window_, QStringLiteral("n_position")));
    QVERIFY(perform(*window_, QStringLiteral("n_prog")));
    QCOMPARE(text3->text(), QStringLiteral("typed by hand"));
}

void MainWindowTest::layoutFollowsTheTwipGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QPoint>("position");  // twips
    QTest::addColumn<QSize>("size");       // twips; empty: not checked
    QTest::addColumn<QString>("caption");

    const QString client = QStringLiteral("clientArea");
    QTest::newRow("Frame4") << QStringLiteral("Frame4") << client << QPoint(60, 60)
                            << QSize(13365, 8865)
                            << QStringLiteral(
                                   "Programmation des horaires d'enclenchement - déclenchement");
    QTest::newRow("Frame1") << QStringLiteral("Frame1") << client << QPoint(3990, 1890)
                            << QSize(4995, 5205) << QStringLiteral("Mise à l'heure de la platine");
    QTest::newRow("Frame3") << QStringLiteral("Frame3") << client << QPoint(3375, 420)
                            << QSize(6495, 1665)
                            << QStringLiteral("Affichage de l'heure de la platine");
    QTest::newRow("Frame5") << QStringLiteral("Frame5") << client << QPoint(3330, 2580)
                            << QSize(6525, 2115) << QStringLiteral("Position des switchs");

    QTest::newRow("Text1") << QStringLiteral("Text1") << QStringLiteral("Frame3")
                           << QPoint(570, 600) << QSize(5115, 375) << QStringLiteral("....");
    QTest::newRow("Label8") << QStringLiteral("Label8") << QStringLiteral("Frame3")
                            << QPoint(5640, 150) << QSize() << QStringLiteral("Port fermé");
    QTest::newRow("Command2") << QStringLiteral("Command2") << QStringLiteral("Frame3")
                              << QPoint(90, 1320) << QSize() << QStringLiteral("Ouverture port");
    QTest::newRow("Command3") << QStringLiteral("Command3") << QStringLiteral("Frame3")
                              << QPoint(1680, 1320) << QSize() << QStringLiteral("Fermeture port");
    QTest::newRow("Command9") << QStringLiteral("Command9") << QStringLiteral("Frame3")
                              << QPoint(3330, 1320) << QSize() << QStringLiteral("Quitter");

    QTest::newRow("Text4") << QStringLiteral("Text4") << QStringLiteral("Frame1")
                           << QPoint(90, 4470) << QSize(4725, 285) << QStringLiteral("...");
    QTest::newRow("Label1") << QStringLiteral("Label1") << QStringLiteral("Frame1")
                            << QPoint(3960, 720) << QSize() << QStringLiteral("Label1");
    QTest::newRow("clock face") << QStringLiteral("clockFace") << QStringLiteral("Frame1")
                                << QPoint(4140, 180) << QSize() << QString();
    QTest::newRow("Command8") << QStringLiteral("Command8") << QStringLiteral("Frame1")
                              << QPoint(3420, 4800) << QSize() << QStringLiteral("Quitter");

    QTest::newRow("Text3") << QStringLiteral("Text3") << QStringLiteral("Frame4")
                           << QPoint(5040, 8130) << QSize(3285, 345) << QStringLiteral("....");
    QTest::newRow("Label5") << QStringLiteral("Label5") << QStringLiteral("Frame4")
                            << QPoint(6030, 7680) << QSize() << QStringLiteral("...");
    QTest::newRow("Label4") << QStringLiteral("Label4") << QStringLiteral("Frame4")
                            << QPoint(60, 8640) << QSize() << creditLabelText();
    QTest::newRow("Command7") << QStringLiteral("Command7") << QStringLiteral("Frame4") << QPoint()
                              << QSize() << QStringLiteral("Programmer");
    QTest::newRow("Command5") << QStringLiteral("Command5") << QStringLiteral("Frame4") << QPoint()
                              << QSize() << QStringLiteral("Quitter");

    QTest::newRow("Command10") << QStringLiteral("Command10") << QStringLiteral("Frame5")
                               << QPoint(4860, 1740) << QSize() << QStringLiteral("Quitter");
}

void MainWindowTest::layoutFollowsTheTwipGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(QString, caption);

    QCOMPARE(clientArea(*window_)->size(), QSize(895, 607));  // 13425 x 9105 twips

    test::buildEveryPanel(*window_);  // each is built on first use
    const auto *widget = window_->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    if (!position.isNull())
        QCOMPARE(widget->pos(), position / 15);
    if (size.isValid())
        QCOMPARE(widget->size(), size / 15);
    // Every control lies inside its panel.
    QVERIFY(widget->parentWidget()->rect().contains(widget->geometry()));

    QString shown;
    if (const auto *group = qobject_cast<const QGroupBox *>(widget))
        shown = group->title();
    else if (const auto *label = qobject_cast<const QLabel *>(widget))
        shown = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        shown = button->text().remove(u'&');  // the mnemonic's mark is not shown
    else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        shown = edit->text();
    QCOMPARE(shown, caption);
}

void MainWindowTest::switchDrawingsShowTheLeverPositions_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<int>("index");  // -1: the panel's single drawing
    QTest::addColumn<QPoint>("body");
    QTest::addColumn<bool>("leftOn");
    QTest::addColumn<bool>("rightOn");
    QTest::addColumn<bool>("ownLabels");

    QTest::newRow("Normal") << QStringLiteral("Frame5") << 0 << QPoint(540, 720) << false << false
                            << false;
    QTest::newRow("Affichage heure")
        << QStringLiteral("Frame5") << 1 << QPoint(2130, 750) << true << true << false;
    QTest::newRow("Mise à l'heure")
        << QStringLiteral("Frame5") << 2 << QPoint(3660, 720) << false << true << false;
    QTest::newRow("Programmation relais")
        << QStringLiteral("Frame5") << 3 << QPoint(5190, 750) << true << false << false;
    QTest::newRow("Frame3") << QStringLiteral("Frame3") << -1 << QPoint(5760, 1140) << true << true
                            << true;
    QTest::newRow("Frame1") << QStringLiteral("Frame1") << -1 << QPoint(4200, 3990) << false << true
                            << true;
    QTest::newRow("Frame4") << QStringLiteral("Frame4") << -1 << QPoint(12420, 7950) << true
                            << false << true;
}

void MainWindowTest::switchDrawingsShowTheLeverPositions()
{
    QFETCH(QString, panel);
    QFETCH(int, index);
    QFETCH(QPoint, body);
    QFETCH(bool, leftOn);
    QFETCH(bool, rightOn);
    QFETCH(bool, ownLabels);

    test::buildEveryPanel(*window_);
    auto *frame = window_->findChild<QWidget *>(panel);
    QVERIFY(frame);
    const QString name =
        index < 0 ? QStringLiteral("switchDrawing") : QStringLiteral("switchDrawing_%1").arg(index);
    auto *drawing = frame->findChild<SwitchDrawing *>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(drawing);
    using Lever = SwitchDrawing::Lever;
    QCOMPARE(drawing->leftLever(), leftOn ? Lever::On : Lever::Off);
    QCOMPARE(drawing->rightLever(), rightOn ? Lever::On : Lever::Off);

    // The body stands where the panel wants it, 495 x 375 twips, inside the panel.
    const QRect bodyInPanel(drawing->mapTo(frame, drawing->bodyRect().topLeft()),
                            drawing->bodyRect().size());
    QCOMPARE(bodyInPanel.topLeft(), body / 15);
    QCOMPARE(bodyInPanel.size(), QSize(33, 25));
    QVERIFY(frame->rect().contains(drawing->geometry()));

    // The picture itself: a knob is filled at its lever's position, the other end of its slot
    // is empty. Knob 165 x 135 twips (11 x 9 px); the lower position is 150 twips (10 px) down.
    const QImage image = drawing->grab().toImage();
    const QColor ink = drawing->palette().color(QPalette::WindowText);
    const bool on[2] = {leftOn, rightOn};
    for (int lever = 0; lever < 2; ++lever) {
        const QRect knob = drawing->knobRect(lever);
        QCOMPARE(knob.size(), QSize(11, 9));
        const QPoint filled = knob.center();
        const QPoint empty = filled + QPoint(0, on[lever] ? -10 : 10);
        QCOMPARE(image.pixelColor(filled), ink);
        QVERIFY2(image.pixelColor(empty) != ink, qPrintable(QStringLiteral("lever %1").arg(lever)));
        QVERIFY(drawing->bodyRect().contains(knob));
    }

    // "Switch" above the body; "Off" and "On" beside it when the drawing carries its own.
    QStringList texts;
    for (const QLabel *label : drawing->findChildren<QLabel *>())
        texts.append(label->text());
    texts.sort();
    QCOMPARE(texts, ownLabels ? (QStringList{QStringLiteral("Off"), QStringLiteral("On"),
                                             QStringLiteral("Switch")})
                              : QStringList{QStringLiteral("Switch")});
    for (const QLabel *label : drawing->findChildren<QLabel *>()) {
        if (label->text() == QStringLiteral("Switch")) {
            QCOMPARE(label->geometry().bottom() + 1, drawing->bodyRect().top());
            QCOMPARE(label->size(), QSize(47, 13));  // 705 x 195 twips
        } else {
            const int top = label->text() == QStringLiteral("Off") ? -60 : 240;
            QCOMPARE(label->pos(), drawing->bodyRect().topLeft() + QPoint(-420, top) / 15);
            QCOMPARE(label->size(), QSize(21, 15));  // 315 x 225 twips
        }
    }
}

void MainWindowTest::switchPanelCaptionsUnderTheirDrawings()
{
    SwitchPanel *frame5 = window_->switchPanel();
    QStringList captions;
    for (const QLabel *caption : frame5->modeCaptions()) {
        captions.append(caption->text());
        QCOMPARE(caption->y(), 1350 / 15);
    }
    QCOMPARE(captions, (QStringList{QStringLiteral("Normal"), QStringLiteral("Affichage heure"),
                                    QStringLiteral("Mise à l'heure"),
                                    QStringLiteral("Programmation relais")}));
    // Each caption is centred under its drawing, and no two captions' texts touch.
    int previousRight = -1;
    for (int i = 0; i < 4; ++i) {
        const QLabel *caption = frame5->modeCaptions().at(i);
        const SwitchDrawing *drawing = frame5->drawings().at(i);
        const QRect body(drawing->mapTo(frame5, drawing->bodyRect().topLeft()),
                         drawing->bodyRect().size());
        QVERIFY(qAbs(caption->geometry().center().x() - body.center().x()) <= 1);
        const int textWidth = QFontMetrics(caption->font()).horizontalAdvance(caption->text());
        const int left = caption->geometry().center().x() - textWidth / 2;
        QVERIFY2(left > previousRight + 2, qPrintable(caption->text()));
        previousRight = left + textWidth;
    }
    QVERIFY(previousRight < frame5->width());

    // One "Off" / "On" pair at the panel's left edge serves the four drawings.
    QStringList pair;
    for (const QLabel *label : frame5->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QStringLiteral("Off")) {
            QCOMPARE(label->pos(), QPoint(120, 660) / 15);
            pair.append(label->text());
        } else if (label->text() == QStringLiteral("On")) {
            QCOMPARE(label->pos(), QPoint(120, 960) / 15);
            pair.append(label->text());
        }
    }
    QCOMPARE(pair.size(), 2);
}

void MainWindowTest::captionsFitTheirControls()
{
    // Every panel in turn, with the texts the labels take while the program runs.
    QTRY_COMPARE(window_->clockPanel()->pcTimeLabel()->text(), QStringLiteral("14:37:52"));
    QTRY_COMPARE(window_->programPanel()->pcDateTimeLabel()->text(),
                 QLocale::system().toString(clock_->function()(), QLocale::ShortFormat));
    QLabel *label8 = window_->clockDisplayPanel()->portStateLabel();
    for (const QString &state : {QStringLiteral("Port ouvert"), QStringLiteral("Port fermé")}) {
        label8->setText(state);
        const QStringList problems = platine::test::captionProblems(clientArea(*window_));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }
}

void MainWindowTest::statusClocksTickWhilePanelsAreHidden()
{
    auto *timer = window_->findChild<QTimer *>(QStringLiteral("statusClock"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(!timer->isSingleShot());

    QLabel *label1 = window_->clockPanel()->pcTimeLabel();
    QLabel *label5 = window_->programPanel()->pcDateTimeLabel();
    QCOMPARE(visiblePanels(*window_), QStringList());

    // An afternoon hour on the 24-hour clock.
    QTRY_COMPARE_WITH_TIMEOUT(label1->text(), QStringLiteral("14:37:52"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(
        label5->text(),
        QLocale::system().toString(QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)),
                                   QLocale::ShortFormat),
        3000);

    // Leading zeros; the labels follow the clock at each tick.
    const QDateTime midnight(QDate(2010, 1, 1), QTime(0, 0, 7));
    clock_->set(midnight);
    QTRY_COMPARE_WITH_TIMEOUT(label1->text(), QStringLiteral("00:00:07"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(label5->text(),
                              QLocale::system().toString(midnight, QLocale::ShortFormat), 3000);
    QCOMPARE(visiblePanels(*window_), QStringList());
}

void MainWindowTest::aboutBoxShowsTheVersion()
{
    QVERIFY(perform(*window_, QStringLiteral("n_prog")));
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    int attempts = 0;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++attempts > 250)
                poll.stop();
            return;
        }
        poll.stop();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen = true;
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
        }
        modal->close();
    });
    poll.start();
    QVERIFY(perform(*window_, QStringLiteral("n_a_propos_de")));
    QVERIFY(seen);
    QCOMPARE(text, QStringLiteral("Platine programmable autonome à relais ver:1.1"));
    QCOMPARE(title, aboutBoxTitle());
    QVERIFY(title.contains(QStringLiteral("2007")));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Nothing changes when it is closed.
    QCOMPARE(visiblePanels(*window_), QStringList{QStringLiteral("Frame4")});
    QVERIFY(window_->isVisible());
}

void MainWindowTest::openingWithoutAPortFailsWithoutAMessageBox()
{
    // No settings file: no port chosen.
    QVERIFY(perform(*window_, QStringLiteral("n_heure_platine")));
    QTimer watch;
    bool modalSeen = false;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modalSeen = true;
            modal->close();
        }
    });
    watch.start(10);
    QVERIFY(perform(*window_, QStringLiteral("Command2")));
    // A box opened from the event loop afterwards is up once the posted events are delivered.
    QCoreApplication::sendPostedEvents();
    watch.stop();
    QVERIFY(!modalSeen);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));
    QVERIFY(!window_->messageStrip()->text().isEmpty());

    // "Fermeture port" with the port closed only sets the label.
    QVERIFY(perform(*window_, QStringLiteral("Command3")));
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));
}

void MainWindowTest::fichierQuitterEndsTheProgramAtOnce()
{
    QEventLoop loop;
    QTimer::singleShot(0, window_.get(), [this] { perform(*window_, QStringLiteral("n_quit")); });
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    // The application's exit ends every running event loop with status 0.
    QCOMPARE(loop.exec(), 0);
    QVERIFY(window_->isVisible());  // no window is closed first
    // Nothing was written on the way out.
    QVERIFY(!QFile::exists(settingsPath_));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
