#include "app/board_drift_label.h"

#include "link/board_clock_drift.h"

namespace platine {

BoardDriftLabel::BoardDriftLabel(std::function<QDateTime()> clock, QWidget *parent)
    : QLabel(parent), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("boardDriftLabel"));
    hide();
}

void BoardDriftLabel::showBoardText(const QString &text)
{
    const std::optional<qint64> drift = boardClockDrift(text, clock_());
    if (!drift)
        return;
    setText(boardDriftMessage(*drift));
    setVisible(true);
}

void BoardDriftLabel::forget()
{
    clear();
    hide();
}

}  // namespace platine
