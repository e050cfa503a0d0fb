#include "app/history_controller.h"

#include "app/message_strip.h"
#include "app/program_document.h"
#include "app/work_panels.h"
#include "link/board_link.h"
#include "panels/history_window.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "relays/program_checks.h"
#include "relays/program_frame.h"
#include "relays/send_journal.h"
#include "store/program_file.h"

#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace platine {

namespace {

constexpr int kJournalReadLatestMs = 1000;

QString sentOn(const JournalEntry &entry)
{
    return entry.time.toString(QStringLiteral("'le' dd/MM 'à' HH:mm"));
}

}  // namespace

HistoryController::HistoryController(QMainWindow &window, BoardLink &link, MessageStrip &messages,
                                     WorkPanels &panels, ProgramDocument &document,
                                     const QString &journalPath)
    : QObject(&window), window_(window), link_(link), messages_(messages), panels_(panels),
      document_(document), journal_(journalPath.isEmpty() ? journalFilePath() : journalPath)
{
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("boardProgramStatus"));
    compare_ = new QPushButton(QStringLiteral("Comparer"));
    compare_->setObjectName(QStringLiteral("compareButton"));
    compare_->setAccessibleName(
        QStringLiteral("Comparer l'éditeur au programme que la platine devrait tenir"));
    window.statusBar()->addPermanentWidget(status_);
    window.statusBar()->addPermanentWidget(compare_);
    connect(compare_, &QPushButton::clicked, this, &HistoryController::compare);
    // The editor is built on first use; until then it holds the timetable stored last.
    connect(&panels_, &WorkPanels::programPanelBuilt, this, &HistoryController::followEditor);
    if (panels_.isBuilt(WorkPanels::Programming))
        followEditor();
    // The journal is read once the window's first frame is painted: a long one must not hold
    // the start back. A window not painted within a second (started hidden) reads it then.
    status_->setText(QStringLiteral("lecture du journal des envois…"));
    compare_->setEnabled(false);
    window.installEventFilter(this);
    QTimer::singleShot(kJournalReadLatestMs, this, &HistoryController::readJournalFirstTime);
}

bool HistoryController::eventFilter(QObject *watched, QEvent *event)
{
    // Read once the paint under way, and the frame's flush, are over.
    if (watched == &window_ && event->type() == QEvent::Paint)
        QTimer::singleShot(0, this, &HistoryController::readJournalFirstTime);
    return QObject::eventFilter(watched, event);
}

void HistoryController::readJournalFirstTime()
{
    window_.removeEventFilter(this);
    if (!journalRead_)
        reload();
}

void HistoryController::followEditor()
{
    connect(&panels_.programPanel()->editor(), &RelayEditor::programChanged, this,
            &HistoryController::showBoardStatus, Qt::UniqueConnection);
    showBoardStatus();
}

std::optional<RelayProgram> HistoryController::editorProgram() const
{
    if (panels_.isBuilt(WorkPanels::Programming))
        return panels_.programPanel()->program();
    return panels_.restoredProgram();
}

void HistoryController::noteClockSend(const ClockSendResult &result)
{
    note(clockSendJournalEntry(result, journalPortOf(link_)));
}

void HistoryController::noteUpload(const UploadResult &result, const RelayProgram &program,
                                   const QDate &today)
{
    note(uploadJournalEntry(result, journalPortOf(link_), document_.currentFile(),
                            int(checkProgram(program, today).size())));
}

void HistoryController::note(const JournalEntry &entry)
{
    const JournalWriteResult written = journal_.append(entry);
    if (!written.ok) {
        // The send's own outcome stays on show, the journal's failure after it.
        const QString text = QStringLiteral("%1 Journal des envois non tenu : %2")
                                 .arg(messages_.text(), written.errorMessage)
                                 .trimmed();
        if (messages_.kind() == MessageStrip::Kind::Error)
            messages_.showError(text, messages_.topic());
        else
            messages_.showWarning(text);
    }
    reload();
}

void HistoryController::reload()
{
    journalRead_ = true;
    read_ = journal_.read();
    boardProgram_ = newestSentProgram(read_.entries);
    if (history_)
        history_->setJournal(read_);
    showBoardStatus();
}

void HistoryController::showBoardStatus()
{
    compare_->setEnabled(boardProgram_.has_value());
    if (!boardProgram_) {
        status_->setText(QStringLiteral("aucun programme envoyé"));
        status_->setToolTip(QStringLiteral("Le journal des envois ne garde aucun programme "
                                           "envoyé à la platine."));
    } else {
        const std::optional<RelayProgram> editor = editorProgram();
        const ProgramEncodeResult encoded = encodeProgram(editor.value_or(RelayProgram{}));
        const bool same =
            editor && encoded.ok() && programFrame(encoded.bytes) == boardProgram_->frame;
        status_->setText(
            QStringLiteral("%1 programme envoyé %2")
                .arg(same ? QStringLiteral("identique au") : QStringLiteral("différent du"),
                     sentOn(*boardProgram_)));
        status_->setToolTip(same ? QStringLiteral("L'éditeur tient le programme que la platine "
                                                  "devrait tenir.")
                                 : QStringLiteral("L'éditeur diffère du programme que la platine "
                                                  "devrait tenir : « Comparer » dit en quoi."));
    }
    status_->setAccessibleName(status_->text());
    if (history_)
        history_->refreshComparison();
}

void HistoryController::showHistory()
{
    if (!history_) {
        history_ = new HistoryWindow([this] { return editorProgram(); }, &window_);
        connect(history_, &HistoryWindow::openRequested, this, &HistoryController::openInEditor);
        connect(history_, &HistoryWindow::resendRequested, this, &HistoryController::resend);
    }
    reload();  // platine-cli may have written since
    history_->show();
    history_->raise();
    history_->activateWindow();
}

void HistoryController::compare()
{
    showHistory();
    history_->selectNewestSentProgram();
    history_->comparison()->setFocus();
}

void HistoryController::openInEditor(const RelayProgram &program)
{
    // One undoable step, as "Ouvrir" is: the modified mark follows the editor's history.
    document_.openUnnamed(QStringLiteral("Ouvrir depuis l'historique"), program);
    panels_.show(WorkPanels::Programming);
    messages_.showInformation(QStringLiteral("Programme de l'historique ouvert dans l'éditeur "
                                             "(« Annuler » le retire)."));
}

void HistoryController::resend(const JournalEntry &entry)
{
    // The usual sending rule: the port opened when closed, the whole frame in one write.
    const LinkResult sent = link_.send(entry.frame);
    const QString text =
        sent ? QStringLiteral("Programme envoyé %1 renvoyé à la platine (%2 octets).")
                   .arg(sentOn(entry))
                   .arg(entry.frame.size())
             : QStringLiteral("Programme non renvoyé à la platine : %1").arg(sent.reason);
    if (sent)
        messages_.showInformation(text);
    else
        messages_.showError(text, MessageStrip::Topic::Port);
    history_->showOutcome(text, !sent);
    note(frameSendJournalEntry(JournalKind::Program, entry.frame, sent, journalPortOf(link_),
                               entry.file, entry.remarks));
}

}  // namespace platine
