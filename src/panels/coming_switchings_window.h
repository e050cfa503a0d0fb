#pragma once

#include "panels/view_output.h"
#include "relays/coming_switchings.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class QLabel;
class QPrinter;
class QSpinBox;
class QTableWidget;

namespace platine {

class RelayEditor;

// "Prochaines commutations": from now on the window's clock, the switchings the editor's
// timetable gives the six relays over a number of days (14 unless changed, up to 366), with the
// remarks; printed, or exported as CSV and iCalendar. It follows the editor as the user types.
class ComingSwitchingsWindow : public QWidget
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    using SavePrompt = platine::SavePrompt;

    ComingSwitchingsWindow(const RelayEditor &editor, Clock clock, QWidget *parent = nullptr);

    void setSavePrompt(SavePrompt prompt) { savePrompt_ = std::move(prompt); }

    const ComingSwitchings &coming() const { return coming_; }
    QSpinBox *daysBox() const { return days_; }
    QTableWidget *table() const { return table_; }
    QLabel *remarks() const { return remarks_; }

    // Write the list into a file, replacing it whole or leaving it as it was. Return a French
    // message when the file could not be written, else an empty text.
    QString saveCsv(const QString &path) const;
    QString saveICalendar(const QString &path) const;
    // Prints the list; false when the printer cannot be used.
    bool printOn(QPrinter &printer) const;

    void refresh();

signals:
    void message(const QString &text, bool failure);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void exportAs(bool calendar);
    void print();

    const RelayEditor &editor_;
    Clock clock_;
    SavePrompt savePrompt_;
    ComingSwitchings coming_;
    QSpinBox *days_ = nullptr;
    QLabel *period_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *remarks_ = nullptr;
};

}  // namespace platine
