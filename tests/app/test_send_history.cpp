// The window's journal of frames sent: what goes in it, "Historique des envois" opening and
// resending a past program, and the status line on what the board should hold.

#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/pty_board.h"
#include "support/relay_programs.h"

#include "app/history_controller.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "panels/editor_history.h"
#include "panels/history_window.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "relays/program_frame.h"
#include "store/journal.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace platine;
using platine::test::FakeClock;
using platine::test::PtyBoard;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(18, 41));

// Relay 1 on from 08:30 to 12:15 on its day, enabled: a program that encodes.
RelayProgram workshopProgram()
{
    RelayProgram program = test::encodableProgram();
    program.texts[0] = QStringLiteral("08:30:00");
    program.texts[1] = QStringLiteral("12:15:00");
    program.enables[0] = 1;
    return program;
}

}  // namespace

class SendHistoryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<PtyBoard> board_;
    std::unique_ptr<MainWindow> window_;

    QString journalPath() const { return dir_->filePath(QStringLiteral("journal.jsonl")); }
    QList<JournalEntry> journal() const { return Journal(journalPath()).read().entries; }
    RelayEditor &editor() const { return window_->programPanel()->editor(); }

    void startWindow(const QString &journal)
    {
        MainWindowOptions options = test::windowOptions(*dir_, clock_.get());
        options.journalPath = journal;
        window_ = std::make_unique<MainWindow>(options);
        window_->link().usePort(board_->slavePath());
        window_->link().setTimerIntervals(50, 300);
        QVERIFY(test::showAndWait(*window_, true));
        QVERIFY(test::chooseAction(*window_, QStringLiteral("n_prog")));
    }
    void clickProgrammer()
    {
        auto *button = window_->findChild<QPushButton *>(QStringLiteral("Command7"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString status() const { return window_->history().boardStatus()->text(); }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        clock_ = std::make_unique<FakeClock>(kNow);
        board_ = std::make_unique<PtyBoard>();
        QVERIFY2(board_->isOpen(), qPrintable(board_->errorString()));
    }
    void cleanup()
    {
        window_.reset();
        board_.reset();
        dir_.reset();
    }

    // Send, open the history, resend: the very same bytes reach the board, and each send is
    // journalled; the status line follows the editor against the program sent.
    void sendOpenTheHistoryAndResend()
    {
        startWindow(journalPath());
        QTRY_COMPARE(status(), QStringLiteral("aucun programme envoyé"));
        QVERIFY(!window_->history().compareButton()->isEnabled());
        editor().applyEdit(QStringLiteral("Test"), workshopProgram());
        clickProgrammer();
        const QByteArray frame = board_->read(125);
        QCOMPARE(frame, programFrame(encodeProgram(workshopProgram()).bytes));
        QList<JournalEntry> entries = journal();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].frame, frame);
        QCOMPARE(entries[0].result, JournalResult::Sent);
        QCOMPARE(entries[0].kind, JournalKind::Program);
        const QString sentAt = entries[0].time.toString(QStringLiteral("dd/MM 'à' HH:mm"));
        QCOMPARE(status(), QStringLiteral("identique au programme envoyé le %1").arg(sentAt));

        // An edit the board has not had: told, and "Comparer" says which field.
        editor().textField(1)->setText(QStringLiteral("13:00:00"));
        QTRY_COMPARE(status(), QStringLiteral("différent du programme envoyé le %1").arg(sentAt));
        QTest::mouseClick(window_->history().compareButton(), Qt::LeftButton);
        HistoryWindow *history = window_->history().historyWindow();
        QVERIFY(history && history->isVisible());
        QVERIFY2(history->comparison()->toPlainText().contains(
                     QStringLiteral("Relais N°1, heure de Fin 1 : 12:15:00 → 13:00:00")),
                 qPrintable(history->comparison()->toPlainText()));
        QVERIFY(history->detail()->toPlainText().contains(QStringLiteral("Plage 1 : 08:30:00")));

        // "Ouvrir dans l'éditeur": one undoable step back to the program sent.
        QTest::mouseClick(history->openButton(), Qt::LeftButton);
        QCOMPARE(editor().snapshot(), workshopProgram());
        QTRY_VERIFY(status().startsWith(QStringLiteral("identique")));
        editor().history().stack()->undo();
        QCOMPARE(editor().textField(1)->text(), QStringLiteral("13:00:00"));

        // "Renvoyer" asks in the window first; Esc takes the question back.
        history->activateWindow();
        QTest::mouseClick(history->resendButton(), Qt::LeftButton);
        QVERIFY(history->confirmResendButton()->isVisible());
        QTest::keyClick(history, Qt::Key_Escape);
        QVERIFY(!history->confirmResendButton()->isVisible());
        QVERIFY(history->isVisible());
        QVERIFY(board_->readAll(200).isEmpty());
        QTest::mouseClick(history->resendButton(), Qt::LeftButton);
        QTest::mouseClick(history->confirmResendButton(), Qt::LeftButton);
        QCOMPARE(board_->read(125), frame);
        entries = journal();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].frame, frame);
        QCOMPARE(entries[0].result, JournalResult::Sent);
        QCOMPARE(history->list()->count(), 2);

        // The filters: no clock entry, no failure.
        history->kindFilter()->setCurrentIndex(1);
        QCOMPARE(history->shownEntries().size(), 0);
        history->kindFilter()->setCurrentIndex(2);
        history->resultFilter()->setCurrentIndex(3);
        QCOMPARE(history->shownEntries().size(), 0);
        QTest::keyClick(history, Qt::Key_Escape);
        QVERIFY(!history->isVisible());

        // A line cut short by a crash is left out, with a remark.
        QFile file(journalPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"time\":\"2026-12-");
        file.close();
        QVERIFY(test::chooseAction(*window_, QStringLiteral("n_historique")));
        history->resultFilter()->setCurrentIndex(0);
        QCOMPARE(history->shownEntries().size(), 2);
        QVERIFY(!history->remark()->isHidden());
        QVERIFY(!history->remark()->text().isEmpty());
    }

    // The journal kept from earlier sends is read once the window's first frame is painted, and
    // by a window never shown as well.
    void theKeptJournalIsReadOnceTheWindowIsUp()
    {
        const QByteArray frame = programFrame(encodeProgram(workshopProgram()).bytes);
        QVERIFY(Journal(journalPath())
                    .append(makeJournalEntry(JournalKind::Program, QStringLiteral("COM3"), frame,
                                             {}, 0, JournalResult::Sent))
                    .ok);
        for (const bool shown : {true, false}) {
            MainWindowOptions options = test::windowOptions(*dir_, clock_.get());
            options.journalPath = journalPath();
            window_ = std::make_unique<MainWindow>(options);
            QCOMPARE(status(), QStringLiteral("lecture du journal des envois…"));
            if (shown)
                QVERIFY(test::showAndWait(*window_));
            QTRY_VERIFY2(status().startsWith(QStringLiteral("différent du programme envoyé le ")),
                         qPrintable(status()));
            QVERIFY(window_->history().compareButton()->isEnabled());
        }
    }

    // A refused "Programmer" (a field that cannot be sent) is journalled without bytes; one
    // whose port cannot be opened, with its bytes and the port's reason; a clock frame too.
    void refusedAndFailedSendsAreJournalled()
    {
        startWindow(journalPath());
        RelayProgram program = workshopProgram();
        program.texts[1] = QStringLiteral("7:30");
        editor().applyEdit(QStringLiteral("Test"), program);
        clickProgrammer();
        QList<JournalEntry> entries = journal();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].result, JournalResult::Refused);
        QVERIFY(entries[0].frame.isEmpty());
        QVERIFY2(entries[0].message.contains(QStringLiteral("Relais N°1")),
                 qPrintable(entries[0].message));

        editor().applyEdit(QStringLiteral("Test"), workshopProgram());
        window_->link().usePort(dir_->filePath(QStringLiteral("absent")));
        clickProgrammer();
        entries = journal();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].result, JournalResult::Failed);
        QCOMPARE(entries[0].frame, programFrame(encodeProgram(workshopProgram()).bytes));
        QVERIFY(!entries[0].message.isEmpty());
        QVERIFY(window_->messageStrip()->text().contains(entries[0].message));
        QCOMPARE(status(), QStringLiteral("aucun programme envoyé"));  // nothing went out
    }

    // A journal that cannot be written is told after the send's own outcome, which stays.
    void aJournalThatCannotBeWrittenIsTold()
    {
        QFile blocker(dir_->filePath(QStringLiteral("fichier")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        startWindow(dir_->filePath(QStringLiteral("fichier/journal.jsonl")));
        editor().applyEdit(QStringLiteral("Test"), workshopProgram());
        clickProgrammer();
        QCOMPARE(board_->read(125).size(), 125);
        const QString text = window_->messageStrip()->text();
        QVERIFY2(text.startsWith(QStringLiteral("Programme envoyé à la platine")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Journal des envois non tenu")), qPrintable(text));
        QCOMPARE(window_->messageStrip()->kind(), MessageStrip::Kind::Warning);
    }
};

QTEST_MAIN(SendHistoryTest)
#include "test_send_history.moc"
