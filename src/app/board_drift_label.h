#pragma once

#include <QDateTime>
#include <QLabel>

#include <functional>

namespace platine {

// "platine en avance de 12 s": how far the board's clock is from the PC's, worked out from each
// clock line the board sends while the port is open. Text that is no clock line leaves it as it
// is; it hides while there is nothing to say.
class BoardDriftLabel : public QLabel
{
    Q_OBJECT

public:
    explicit BoardDriftLabel(std::function<QDateTime()> clock, QWidget *parent = nullptr);

    // The board's text as received.
    void showBoardText(const QString &text);
    // The port closed: the drift is no longer watched.
    void forget();

private:
    std::function<QDateTime()> clock_;
};

}  // namespace platine
