#pragma once

#include "store/journal.h"
#include "store/relay_program.h"

#include <QDate>
#include <QObject>

#include <optional>

class QLabel;
class QMainWindow;
class QPushButton;

namespace platine {

class BoardLink;
class HistoryWindow;
class MessageStrip;
class ProgramDocument;
class WorkPanels;
struct ClockSendResult;
struct UploadResult;

// The window's side of the journal of frames sent: it notes every frame the window sends,
// refuses or fails to send, keeps the status bar saying whether the editor holds the program
// the board should hold (the newest program sent), and runs "Historique des envois", from which
// a past program is opened in the editor or sent again.
class HistoryController : public QObject
{
    Q_OBJECT

public:
    // The journal at journalPath; empty: the usual place. The status line goes in window's
    // status bar.
    HistoryController(QMainWindow &window, BoardLink &link, MessageStrip &messages,
                      WorkPanels &panels, ProgramDocument &document,
                      const QString &journalPath = {});

    const Journal &journal() const { return journal_; }

    // What became of a clock setting or a "Programmer" (program as uploaded, its remarks counted
    // on day today). A journal that cannot be written is added to the message on show.
    void noteClockSend(const ClockSendResult &result);
    void noteUpload(const UploadResult &result, const RelayProgram &program, const QDate &today);

    // "Historique des envois".
    void showHistory();
    HistoryWindow *historyWindow() const { return history_; }
    // "Comparer": the history, on the program the board should hold and its differences.
    void compare();

    QLabel *boardStatus() const { return status_; }
    QPushButton *compareButton() const { return compare_; }
    // The program the board should hold, if any was sent.
    const std::optional<JournalEntry> &boardProgram() const { return boardProgram_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void note(const JournalEntry &entry);
    void reload();
    void readJournalFirstTime();
    void showBoardStatus();
    void resend(const JournalEntry &entry);
    void openInEditor(const RelayProgram &program);
    std::optional<RelayProgram> editorProgram() const;
    void followEditor();

    QMainWindow &window_;
    BoardLink &link_;
    MessageStrip &messages_;
    WorkPanels &panels_;
    ProgramDocument &document_;
    Journal journal_;
    JournalReadResult read_;
    std::optional<JournalEntry> boardProgram_;
    QLabel *status_ = nullptr;
    QPushButton *compare_ = nullptr;
    HistoryWindow *history_ = nullptr;
    bool journalRead_ = false;
};

}  // namespace platine
