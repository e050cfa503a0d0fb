#pragma once

#include <QDateTime>
#include <QLabel>

#include <functional>

namespace platine {

class BoardLink;

// "platine en avance de 12 s": how far the board's clock is from the PC's, worked out from each
// clock line the board sends while the port is open. A clock line that cannot be read says so
// instead of keeping an old reading; other text leaves it as it is. It hides while there is
// nothing to say: the port closed or another port was chosen.
class BoardDriftLabel : public QLabel
{
    Q_OBJECT

public:
    explicit BoardDriftLabel(std::function<QDateTime()> clock, QWidget *parent = nullptr);

    // The board's text as received.
    void showBoardText(const QString &text);
    // The port closed: the drift is no longer watched.
    void forget();

    // Follows the link: its text while the port is open, its closing and a change of port.
    void follow(BoardLink &link);

private:
    std::function<QDateTime()> clock_;
};

}  // namespace platine
