// Never losing an edit: the modified mark, the save prompt, Ctrl+S, undo and redo, the recent
// files and a file named at start.

#include "app/main_window.h"
#include "app/message_strip.h"
#include "app/program_document.h"
#include "app/recent_files.h"
#include "app/settings_lock.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "store/port_setting.h"
#include "store/program_file.h"

#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/relay_programs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace platine;
using platine::test::FakeClock;

class EditSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void undoBringsBackWhatHeurePcAndOuvrirReplaced();
    void typingUndoesInTheFieldFirstThenInTheEditor();
    void ctrlSSavesInPlace();
    void recentListDropsAVanishedFile();
    void fileNamedAtStartOpensOverTheRestoredProgram();
    void runningCopyStillWritesItsSettings();
    void quittingAModifiedProgramAsksFirst();  // last: it ends the event loops

private:
    void startWindow(const QString &programFile = {});
    QString fileWith(const QString &name, const QString &firstTime);
    RelayEditor &editor() const { return window_->programPanel()->editor(); }
    // Keys go to the focus first, as from the keyboard.
    void press(const QKeySequence &keys)
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keySequence(focus ? focus : window_.get(), keys);
    }
    void choose(const QString &name)
    {
        QVERIFY2(test::chooseAction(*window_, name), qPrintable(name));
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<MainWindow> window_;
    QString chosenFile_;
    QList<SaveChoice> answers_;  // given in turn by the save prompt
    int fileDialogs_ = 0;
    int prompts_ = 0;
};

void EditSafetyTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    clock_ = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 9), QTime(7, 45, 30)));
    RecentFiles recent;
    for (const QString &path : recent.files())
        recent.remove(path);
    chosenFile_.clear();
    answers_.clear();
    fileDialogs_ = prompts_ = 0;
    startWindow();
}

void EditSafetyTest::startWindow(const QString &programFile)
{
    MainWindowOptions options = test::windowOptions(*dir_, clock_.get());
    options.programFile = programFile;
    window_ = std::make_unique<MainWindow>(options);
    window_->setFilePrompt([this](QWidget *, MainWindow::FileDialogMode) {
        ++fileDialogs_;
        return chosenFile_;
    });
    window_->setSavePrompt([this](QWidget *) {
        ++prompts_;
        return answers_.isEmpty() ? SaveChoice::Cancel : answers_.takeFirst();
    });
    QVERIFY(test::showAndWait(*window_, true));
    choose(QStringLiteral("n_prog"));
}

// A program file whose relay 1 starts at firstTime.
QString EditSafetyTest::fileWith(const QString &name, const QString &firstTime)
{
    RelayProgram program = test::encodableProgram();
    program.texts[0] = firstTime;
    const QString path = dir_->filePath(name);
    return writeProgram(path, program).ok ? path : QString();
}

void EditSafetyTest::undoBringsBackWhatHeurePcAndOuvrirReplaced()
{
    QLineEdit *first = editor().textField(0);
    first->setFocus();
    test::typeText(first, QStringLiteral("06:00:00"));
    editor().dayList(0)->setFocus();
    QTest::keyClick(editor().dayList(0), Qt::Key_Down);  // "Lundi"
    QTest::mouseClick(editor().enableBox(0), Qt::LeftButton);
    const RelayProgram typed = editor().snapshot();
    QVERIFY(typed.dayChoices[0] == 1 && typed.enables[0] == 1);

    // "Heure PC" overwrites the six times and the day: Ctrl+Z brings them all back at once.
    QTest::mouseClick(editor().heurePcButton(0), Qt::LeftButton);
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("07:45:00"));
    QCOMPARE(editor().dayChoice(0), 3);  // Wednesday
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(editor().snapshot(), typed);

    // The box, the list and the typing are a step each.
    for (int i = 0; i < 3; ++i)
        choose(QStringLiteral("n_annuler"));
    QCOMPARE(editor().snapshot(), RelayProgram{});
    QVERIFY(!window_->isWindowModified());
    for (int i = 0; i < 3; ++i)
        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(editor().snapshot(), typed);

    // "Ouvrir" replaces the whole timetable; undo brings back the typed one, modified.
    chosenFile_ = fileWith(QStringLiteral("serre.txt"), QStringLiteral("08:30:00"));
    answers_ = {SaveChoice::Discard};
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(prompts_, 1);
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
    QTRY_VERIFY(!window_->isWindowModified());
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(editor().snapshot(), typed);
    QTRY_VERIFY(window_->isWindowModified());
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
    QTRY_VERIFY(!window_->isWindowModified());
}

void EditSafetyTest::typingUndoesInTheFieldFirstThenInTheEditor()
{
    QLineEdit *first = editor().textField(0);
    QLineEdit *second = editor().textField(1);
    first->setFocus();
    test::typeText(first, QStringLiteral("06:00:00"));
    second->setFocus();
    test::typeText(second, QStringLiteral("07:00:01"));
    QTest::keyClick(second, Qt::Key_Backspace);
    test::typeText(second, QStringLiteral("2"));
    QTRY_VERIFY(window_->isWindowModified());

    // While the user is in the field, Ctrl+Z is the field's own: the last key first, then the
    // rest, down to what it held.
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(second->text(), QStringLiteral("07:00:0"));
    for (int i = 0; i < 8 && !second->text().isEmpty(); ++i) {
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(first->text(), QStringLiteral("06:00:00"));
    }
    QCOMPARE(second->text(), QString());
    // Then the editor's: the whole typing of the previous field in one step.
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(first->text(), QString());
    QTRY_VERIFY(!window_->isWindowModified());
}

void EditSafetyTest::ctrlSSavesInPlace()
{
    const QString path = fileWith(QStringLiteral("serre.txt"), QStringLiteral("08:30:00"));
    chosenFile_ = path;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(prompts_, 0);  // nothing to lose yet
    fileDialogs_ = 0;

    editor().textField(2)->setFocus();
    editor().textField(2)->selectAll();
    test::typeText(editor().textField(2), QStringLiteral("12:15:00"));
    QTRY_VERIFY(window_->isWindowModified());
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(fileDialogs_, 0);  // no dialog: the file it came from
    QVERIFY(!window_->isWindowModified());
    const ProgramReadResult read = readProgram(path);
    QCOMPARE(read.texts[0], QStringLiteral("08:30:00"));
    QCOMPARE(read.texts[2], QStringLiteral("12:15:00"));
}

void EditSafetyTest::recentListDropsAVanishedFile()
{
    const QString kept = fileWith(QStringLiteral("serre.txt"), QStringLiteral("08:30:00"));
    const QString gone = fileWith(QStringLiteral("cave.txt"), QStringLiteral("09:00:00"));
    chosenFile_ = kept;
    choose(QStringLiteral("n_ouvrir"));
    chosenFile_ = gone;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(window_->document().recentFiles(), (QStringList{gone, kept}));
    QVERIFY(QFile::remove(gone));

    choose(QStringLiteral("n_recent_2"));  // serre.txt
    QTRY_COMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
    QCOMPARE(window_->document().recentFiles(), (QStringList{kept, gone}));
    choose(QStringLiteral("n_recent_2"));  // cave.txt, gone
    QTRY_COMPARE(window_->document().recentFiles(), QStringList{kept});
    QVERIFY(window_->messageStrip()->text().contains(QStringLiteral("n'existe plus")));
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
}

void EditSafetyTest::fileNamedAtStartOpensOverTheRestoredProgram()
{
    RelayProgram stored = test::encodableProgram();
    stored.texts[49] = QStringLiteral("12/2026");
    QVERIFY(writeProgram(test::settingsPathIn(*dir_), stored).ok);
    const QString path = fileWith(QStringLiteral("serre.txt"), QStringLiteral("08:30:00"));
    startWindow(path);
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
    QCOMPARE(editor().textField(49)->text(), QStringLiteral("01/2000"));
    QVERIFY(!window_->isWindowModified());
    QCOMPARE(window_->document().currentFile(), path);
    // Undo goes back to the restored timetable.
    choose(QStringLiteral("n_annuler"));
    QCOMPARE(editor().snapshot(), stored);
}

// The running copy's lock keeps a second window off, not the writes of the settings file
// (port, upload, platine-cli), which take a short lock of their own.
void EditSafetyTest::runningCopyStillWritesItsSettings()
{
    const QString settings = test::settingsPathIn(*dir_);
    const SettingsLock running(settings);
    QVERIFY(!running.heldElsewhere());
    QVERIFY(SettingsLock(settings).heldElsewhere());
    QElapsedTimer writing;
    writing.start();
    const ProfileWriteResult written = writePortSetting(settings, QStringLiteral("ttyUSB0"));
    QVERIFY2(written.ok, qPrintable(written.errorMessage));
    QVERIFY(writing.elapsed() < 2000);  // not after waiting the lock out
}

void EditSafetyTest::quittingAModifiedProgramAsksFirst()
{
    QLineEdit *field = editor().textField(0);
    field->setFocus();
    test::typeText(field, QStringLiteral("06:00:00"));
    QTRY_VERIFY(window_->isWindowModified());

    // The prompt itself: its question and its three buttons; "Annuler" keeps the window.
    window_->setSavePrompt({});
    QStringList seen;  // the question, then the buttons by role
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        auto *box = static_cast<QMessageBox *>(QApplication::activeModalWidget());
        seen.append(box->text());
        for (QAbstractButton *button : box->buttons())
            seen.append(button->text());
        box->escapeButton()->click();
    });
    QVERIFY(!window_->close());
    QCOMPARE(seen, (QStringList{QStringLiteral("Enregistrer les modifications du programme ?"),
                                QStringLiteral("Enregistrer"), QStringLiteral("Annuler"),
                                QStringLiteral("Ne pas enregistrer")}));
    QVERIFY(window_->isVisible());
    QCOMPARE(field->text(), QStringLiteral("06:00:00"));

    startWindow();
    test::typeText(editor().textField(0), QStringLiteral("06:00:00"));
    // "Enregistrer" without a file asks for one; cancelling that dialog stays too.
    answers_ = {SaveChoice::Cancel, SaveChoice::Save};
    press(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(prompts_, 1);
    press(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(prompts_, 2);
    QCOMPARE(fileDialogs_, 1);
    QVERIFY(window_->isVisible() && window_->isWindowModified());

    // "Ne pas enregistrer" quits.
    answers_ = {SaveChoice::Discard};
    QEventLoop loop;
    QTimer::singleShot(0, window_.get(), [this] { choose(QStringLiteral("n_quit")); });
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    QCOMPARE(loop.exec(), 0);
    QCOMPARE(prompts_, 3);
    QVERIFY(!QFile::exists(test::settingsPathIn(*dir_)));
}

QTEST_MAIN(EditSafetyTest)
#include "test_edit_safety.moc"
