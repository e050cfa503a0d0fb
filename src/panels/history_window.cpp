#include "panels/history_window.h"

#include "relays/program_decode.h"
#include "relays/program_differences.h"
#include "relays/program_text.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace platine {

namespace {

QString kindCaption(JournalKind kind)
{
    return kind == JournalKind::Clock ? QStringLiteral("Heure") : QStringLiteral("Programme");
}

QString entryLine(const JournalEntry &entry)
{
    QString line = QStringLiteral("%1  %2  %3  %4")
                       .arg(entry.time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
                            kindCaption(entry.kind), journalResultCaption(entry.result),
                            QDir::toNativeSeparators(entry.port));
    if (!entry.file.isEmpty())
        line += QStringLiteral("  ") + QDir::toNativeSeparators(entry.file);
    return line;
}

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QString entryDetail(const JournalEntry &entry)
{
    QString text = QStringLiteral("Le %1 : %2, %3\nPort : %4\nDepuis : %5 sur %6\n")
                       .arg(entry.time.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm:ss")),
                            kindCaption(entry.kind).toLower(), journalResultCaption(entry.result),
                            QDir::toNativeSeparators(entry.port), entry.tool, entry.host);
    if (!entry.file.isEmpty())
        text += QStringLiteral("Fichier : %1\n").arg(QDir::toNativeSeparators(entry.file));
    if (entry.kind == JournalKind::Program)
        text += QStringLiteral("Remarques : %1\n").arg(entry.remarks);
    if (!entry.message.isEmpty())
        text += QStringLiteral("Motif : %1\n").arg(entry.message);
    if (entry.frame.isEmpty())
        return text + QStringLiteral("Aucune trame construite.\n");
    text += QStringLiteral("Trame (%1 octets), SHA-256 %2\n")
                .arg(entry.frame.size())
                .arg(entry.sha256());
    if (entry.kind == JournalKind::Clock)
        return text + hexBytes(entry.frame) + u'\n';
    if (const std::optional<RelayProgram> program = programFromFrame(entry.frame))
        return text + u'\n' + programText(*program);
    return text + QStringLiteral("La trame ne se lit pas comme un programme :\n") +
           hexBytes(entry.frame) + u'\n';
}

QPushButton *makeButton(const QString &text, const QString &name, const QString &accessible)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setAccessibleName(accessible);
    return button;
}

}  // namespace

HistoryWindow::HistoryWindow(EditorProgram editorProgram, QWidget *parent)
    : QWidget(parent, Qt::Window), editorProgram_(std::move(editorProgram))
{
    setObjectName(QStringLiteral("historyWindow"));
    setWindowTitle(QStringLiteral("Historique des envois"));
    auto *layout = new QVBoxLayout(this);

    auto *filters = new QHBoxLayout;
    kindFilter_ = new QComboBox;
    kindFilter_->setObjectName(QStringLiteral("historyKindFilter"));
    kindFilter_->setAccessibleName(QStringLiteral("Genre d'envoi"));
    kindFilter_->addItems(
        {QStringLiteral("Tous les envois"), QStringLiteral("Heure"), QStringLiteral("Programme")});
    resultFilter_ = new QComboBox;
    resultFilter_->setObjectName(QStringLiteral("historyResultFilter"));
    resultFilter_->setAccessibleName(QStringLiteral("Résultat"));
    resultFilter_->addItem(QStringLiteral("Tous les résultats"));
    for (const JournalResult result :
         {JournalResult::Sent, JournalResult::Refused, JournalResult::Failed})
        resultFilter_->addItem(journalResultCaption(result));
    auto *kindLabel = new QLabel(QStringLiteral("&Genre :"));
    kindLabel->setBuddy(kindFilter_);
    auto *resultLabel = new QLabel(QStringLiteral("&Résultat :"));
    resultLabel->setBuddy(resultFilter_);
    filters->addWidget(kindLabel);
    filters->addWidget(kindFilter_);
    filters->addWidget(resultLabel);
    filters->addWidget(resultFilter_);
    filters->addStretch();
    layout->addLayout(filters);

    remark_ = new QLabel;
    remark_->setObjectName(QStringLiteral("historyRemark"));
    remark_->setWordWrap(true);
    remark_->hide();
    layout->addWidget(remark_);

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("historyList"));
    list_->setAccessibleName(QStringLiteral("Envois, du plus récent au plus ancien"));
    layout->addWidget(list_, 2);

    detail_ = new QPlainTextEdit;
    detail_->setObjectName(QStringLiteral("historyDetail"));
    detail_->setAccessibleName(QStringLiteral("Détail de l'envoi"));
    detail_->setReadOnly(true);
    detail_->setTabChangesFocus(true);
    detail_->setFont(QFont(QStringLiteral("monospace")));
    layout->addWidget(detail_, 3);

    comparison_ = new QPlainTextEdit;
    comparison_->setObjectName(QStringLiteral("historyComparison"));
    comparison_->setAccessibleName(QStringLiteral("Différences avec l'éditeur"));
    comparison_->setReadOnly(true);
    comparison_->setTabChangesFocus(true);
    comparison_->setMaximumHeight(fontMetrics().lineSpacing() * 7);
    layout->addWidget(comparison_, 1);

    auto *buttons = new QHBoxLayout;
    open_ = makeButton(QStringLiteral("&Ouvrir dans l'éditeur"), QStringLiteral("openEntryButton"),
                       QStringLiteral("Ouvrir ce programme dans l'éditeur"));
    resend_ = makeButton(QStringLiteral("Ren&voyer…"), QStringLiteral("resendButton"),
                         QStringLiteral("Renvoyer cette trame à la platine"));
    buttons->addWidget(open_);
    buttons->addWidget(resend_);
    buttons->addStretch();
    auto *closeButton = makeButton(QStringLiteral("&Fermer"), QStringLiteral("closeHistoryButton"),
                                   QStringLiteral("Fermer l'historique"));
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    // The confirmation of a resend, in the window: no box of its own.
    confirmation_ = new QFrame;
    confirmation_->setObjectName(QStringLiteral("resendConfirmation"));
    confirmation_->setFrameShape(QFrame::StyledPanel);
    auto *confirmRow = new QHBoxLayout(confirmation_);
    confirmText_ = new QLabel;
    confirmText_->setWordWrap(true);
    confirm_ =
        makeButton(QStringLiteral("&Confirmer le renvoi"), QStringLiteral("confirmResendButton"),
                   QStringLiteral("Confirmer le renvoi à la platine"));
    cancel_ = makeButton(QStringLiteral("&Annuler"), QStringLiteral("cancelResendButton"),
                         QStringLiteral("Annuler le renvoi"));
    confirmRow->addWidget(confirmText_, 1);
    confirmRow->addWidget(confirm_);
    confirmRow->addWidget(cancel_);
    confirmation_->hide();
    layout->addWidget(confirmation_);

    outcome_ = new QLabel;
    outcome_->setObjectName(QStringLiteral("historyOutcome"));
    outcome_->setWordWrap(true);
    layout->addWidget(outcome_);

    connect(kindFilter_, &QComboBox::currentIndexChanged, this, &HistoryWindow::refill);
    connect(resultFilter_, &QComboBox::currentIndexChanged, this, &HistoryWindow::refill);
    connect(list_, &QListWidget::currentRowChanged, this, &HistoryWindow::showSelected);
    connect(open_, &QPushButton::clicked, this, [this] {
        if (const auto entry = selected())
            if (const auto program = programFromFrame(entry->frame))
                emit openRequested(*program);
    });
    connect(resend_, &QPushButton::clicked, this, &HistoryWindow::askResendConfirmation);
    connect(confirm_, &QPushButton::clicked, this, [this] {
        const auto entry = selected();
        endResendConfirmation();
        if (entry)
            emit resendRequested(*entry);
    });
    connect(cancel_, &QPushButton::clicked, this, &HistoryWindow::endResendConfirmation);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    // Esc takes back a confirmation on show, else closes the window.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (!confirmation_->isHidden())
            endResendConfirmation();
        else
            close();
    });
    resize(760, 640);
    showSelected();
}

void HistoryWindow::setJournal(const JournalReadResult &read)
{
    entries_ = read.entries;
    const QString remark = read.ok ? read.remark : read.errorMessage;
    remark_->setText(remark);
    remark_->setVisible(!remark.isEmpty());
    refill();
}

QList<JournalEntry> HistoryWindow::shownEntries() const
{
    return shown_;
}

void HistoryWindow::refill()
{
    const std::optional<JournalEntry> before = selected();
    const int kind = kindFilter_->currentIndex();
    const int result = resultFilter_->currentIndex();
    shown_.clear();
    for (const JournalEntry &entry : entries_) {
        if (kind == 1 && entry.kind != JournalKind::Clock)
            continue;
        if (kind == 2 && entry.kind != JournalKind::Program)
            continue;
        if (result > 0 && int(entry.result) != result - 1)
            continue;
        shown_.append(entry);
    }
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const JournalEntry &entry : shown_)
        list_->addItem(entryLine(entry));
    if (list_->count() == 0) {
        auto *none =
            new QListWidgetItem(entries_.isEmpty() ? QStringLiteral("Aucun envoi noté.")
                                                   : QStringLiteral("Aucun envoi de ce genre."));
        none->setFlags(Qt::ItemIsEnabled);  // said, not selected
        list_->addItem(none);
    }
    const qsizetype keep = before ? shown_.indexOf(*before) : -1;
    list_->setCurrentRow(shown_.isEmpty() ? -1 : int(std::max<qsizetype>(keep, 0)));
    showSelected();
}

std::optional<JournalEntry> HistoryWindow::selected() const
{
    const int row = list_->currentRow();
    if (row < 0 || row >= shown_.size())
        return std::nullopt;
    return shown_.at(row);
}

void HistoryWindow::selectRow(int row)
{
    list_->setCurrentRow(row);
}

bool HistoryWindow::selectNewestSentProgram()
{
    kindFilter_->setCurrentIndex(0);
    resultFilter_->setCurrentIndex(0);
    for (qsizetype i = 0; i < shown_.size(); ++i) {
        const JournalEntry &entry = shown_.at(i);
        if (entry.kind == JournalKind::Program && entry.result == JournalResult::Sent &&
            !entry.frame.isEmpty()) {
            list_->setCurrentRow(int(i));
            return true;
        }
    }
    return false;
}

void HistoryWindow::showSelected()
{
    endResendConfirmation();
    const std::optional<JournalEntry> entry = selected();
    const bool program =
        entry && entry->kind == JournalKind::Program && programFromFrame(entry->frame).has_value();
    detail_->setPlainText(entry ? entryDetail(*entry) : QString());
    open_->setEnabled(program);
    // A clock frame carries the moment it was made: sent again it would set the board back.
    resend_->setEnabled(program);
    refreshComparison();
}

void HistoryWindow::refreshComparison()
{
    const std::optional<JournalEntry> entry = selected();
    const std::optional<RelayProgram> sent = entry && entry->kind == JournalKind::Program
                                                 ? programFromFrame(entry->frame)
                                                 : std::nullopt;
    const std::optional<RelayProgram> editor =
        editorProgram_ ? editorProgram_() : std::optional<RelayProgram>();
    comparison_->setVisible(sent.has_value());
    if (!sent)
        return;
    if (!editor) {
        comparison_->setPlainText(QStringLiteral("L'éditeur n'est pas encore ouvert."));
        return;
    }
    const QStringList differences = programDifferences(*sent, programAsSent(*editor));
    comparison_->setPlainText(differences.isEmpty()
                                  ? QStringLiteral("L'éditeur est identique à ce programme.")
                                  : QStringLiteral("Ce programme → l'éditeur :\n") +
                                        differences.join(u'\n'));
}

void HistoryWindow::askResendConfirmation()
{
    const std::optional<JournalEntry> entry = selected();
    if (!entry)
        return;
    confirmText_->setText(
        QStringLiteral("Renvoyer à la platine les %1 octets de ce programme, tels quels ?")
            .arg(entry->frame.size()));
    confirmation_->show();
    confirm_->setFocus();
}

void HistoryWindow::endResendConfirmation()
{
    if (confirmation_->isHidden())
        return;
    const bool hadFocus = confirmation_->isAncestorOf(focusWidget());
    confirmation_->hide();
    if (hadFocus)
        resend_->setFocus();
}

void HistoryWindow::showOutcome(const QString &text, bool failure)
{
    outcome_->setText(text);
    outcome_->setStyleSheet(failure ? QStringLiteral("color: #a00000;") : QString());
}

void HistoryWindow::hideEvent(QHideEvent *event)
{
    endResendConfirmation();
    QWidget::hideEvent(event);
}

}  // namespace platine
