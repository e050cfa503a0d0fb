#pragma once

#include "panels/view_output.h"
#include "relays/week_chart.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class QPrinter;
class QPushButton;

namespace platine {

class ComingSwitchingsWindow;
class RelayEditor;
class WeekChartView;

// "Vue de la semaine": a window of its own that draws the editor's timetable for one week and
// follows it as the user types. Previous / this / next week, and the chart saved as PNG or PDF
// or printed; and the coming switchings over days to come. What it has to tell goes out as
// message() for the main window's status bar.
class WeekChartWindow : public QWidget
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    using SavePrompt = platine::SavePrompt;

    WeekChartWindow(const RelayEditor &editor, Clock clock, QWidget *parent = nullptr);

    // Replaces the save dialogs (tests answer them without a modal dialog).
    void setSavePrompt(SavePrompt prompt);

    const WeekChart &chart() const;
    WeekChartView *view() const { return view_; }

    // The week that holds day.
    void showWeek(const QDate &day);
    void showPreviousWeek();
    void showThisWeek();
    void showNextWeek();

    // Write the chart into a file, replacing it whole or leaving it as it was. Return a French
    // message when the file could not be written, else an empty text.
    QString savePng(const QString &path) const;
    QString savePdf(const QString &path) const;
    // Draws the chart on the printer's page; false when the printer cannot be drawn on.
    bool printOn(QPrinter &printer) const;

    // "Prochaines commutations", a window of its own made at its first opening (with the save
    // prompt of the chart); null before.
    void showComingSwitchings();
    ComingSwitchingsWindow *comingSwitchingsWindow() const { return coming_; }

signals:
    void message(const QString &text, bool failure);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void saveAs(bool pdf);
    void print();

    const RelayEditor &editor_;
    Clock clock_;
    SavePrompt savePrompt_;
    QDate monday_;
    WeekChartView *view_ = nullptr;
    ComingSwitchingsWindow *coming_ = nullptr;
};

}  // namespace platine
