#pragma once

#include "store/journal.h"
#include "store/relay_program.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace platine {

// "Historique des envois": a window of its own over the journal of frames sent, newest first,
// filtered by kind and result. A program entry shows as the relay-by-relay text of its frame,
// with what differs from the editor; it can be loaded into the editor or sent again, the latter
// once confirmed in the window itself. The window does not send: it asks, by its signals.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    // The editor's timetable now, for the comparison; nothing when there is no editor.
    using EditorProgram = std::function<std::optional<RelayProgram>()>;

    explicit HistoryWindow(EditorProgram editorProgram, QWidget *parent = nullptr);

    // The journal as read: its entries, newest first, and its remark on skipped lines or its
    // failure, shown above the list.
    void setJournal(const JournalReadResult &read);
    // The entries listed, after the filters.
    QList<JournalEntry> shownEntries() const;
    // Selects the newest program entry that went out (the program the board should hold), the
    // filters cleared; false when there is none.
    bool selectNewestSentProgram();
    void selectRow(int row);
    // The editor changed: the comparison follows.
    void refreshComparison();
    // The outcome of a resend, in the window's own line.
    void showOutcome(const QString &text, bool failure);

    QListWidget *list() const { return list_; }
    QComboBox *kindFilter() const { return kindFilter_; }
    QComboBox *resultFilter() const { return resultFilter_; }
    QPlainTextEdit *detail() const { return detail_; }
    QPlainTextEdit *comparison() const { return comparison_; }
    QLabel *remark() const { return remark_; }
    QPushButton *openButton() const { return open_; }
    QPushButton *resendButton() const { return resend_; }
    QPushButton *confirmResendButton() const { return confirm_; }
    QPushButton *cancelResendButton() const { return cancel_; }

signals:
    // "Ouvrir dans l'éditeur" on a program entry.
    void openRequested(const platine::RelayProgram &program);
    // "Renvoyer", confirmed: the entry's exact bytes are to go out again.
    void resendRequested(const platine::JournalEntry &entry);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void refill();
    void showSelected();
    std::optional<JournalEntry> selected() const;
    void askResendConfirmation();
    void endResendConfirmation();

    EditorProgram editorProgram_;
    QList<JournalEntry> entries_;  // all of them, newest first
    QList<JournalEntry> shown_;    // those the filters let through
    QComboBox *kindFilter_ = nullptr;
    QComboBox *resultFilter_ = nullptr;
    QLabel *remark_ = nullptr;
    QListWidget *list_ = nullptr;
    QPlainTextEdit *detail_ = nullptr;
    QPlainTextEdit *comparison_ = nullptr;
    QPushButton *open_ = nullptr;
    QPushButton *resend_ = nullptr;
    QFrame *confirmation_ = nullptr;
    QLabel *confirmText_ = nullptr;
    QPushButton *confirm_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QLabel *outcome_ = nullptr;
};

}  // namespace platine
