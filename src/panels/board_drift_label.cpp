#include "panels/board_drift_label.h"

#include "link/board_clock_text.h"
#include "link/board_link.h"

namespace platine {

BoardDriftLabel::BoardDriftLabel(std::function<QDateTime()> clock, QWidget *parent)
    : QLabel(parent), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("boardDriftLabel"));
    hide();
}

void BoardDriftLabel::showBoardText(const QString &text)
{
    const QDateTime board = readBoardClockLine(text);
    const QDateTime pcNow = clock_();
    if (board.isValid() && pcNow.isValid())
        setText(boardDriftMessage(boardClockDrift(board, pcNow.toLocalTime())));
    else if (looksLikeBoardClockText(text))
        setText(QStringLiteral("heure de la platine illisible"));
    else
        return;
    setVisible(true);
}

void BoardDriftLabel::follow(BoardLink &link)
{
    // Text read after the port closed is what was left waiting: no reading of the drift now.
    connect(&link, &BoardLink::textReceived, this, [this, &link](const QString &text) {
        if (link.isPortOpen())
            showBoardText(text);
    });
    connect(&link, &BoardLink::portOpenChanged, this, [this](bool open) {
        if (!open)
            forget();
    });
    connect(&link, &BoardLink::portChosen, this, [this] { forget(); });
}

void BoardDriftLabel::forget()
{
    clear();
    hide();
}

}  // namespace platine
