#pragma once

#include "store/program_file.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QWidget;

namespace platine {

class ClockDisplayPanel;
class ClockPanel;
class ProgramPanel;
class SwitchPanel;
struct ClockFields;

// The four work panels lying on top of each other in the main window's client area. Each is
// built the first time it is needed, hidden, and brought up to date then: the board's text last
// shown, the port's state, the PC's time and, for the programming panel, the timetable read at
// start. The menus show them by one table: which others each one hides, where the focus goes.
// What the panels ask for comes out as this object's signals.
class WorkPanels : public QObject
{
    Q_OBJECT

public:
    // From the bottom of the stack to the top.
    enum Panel { Programming, ClockSetting, ClockDisplay, SwitchPositions, kPanelCount };

    WorkPanels(QWidget *clientArea, std::function<QDateTime()> clock);

    // The timetable read at start, for the programming panel when it is built.
    void setRestoredProgram(const ProgramReadResult &read) { restored_ = read; }
    // That timetable, as the editor will show it.
    RelayProgram restoredProgram() const { return restored_.program(); }
    // Whether the port is open now, for panels built later.
    void setPortOpenQuery(std::function<bool()> isPortOpen) { isPortOpen_ = std::move(isPortOpen); }

    bool isBuilt(Panel which) const { return panels_[which] != nullptr; }
    ProgramPanel *programPanel();            // Frame4
    ClockPanel *clockPanel();                // Frame1
    ClockDisplayPanel *clockDisplayPanel();  // Frame3
    SwitchPanel *switchPanel();              // Frame5

    // Shows a panel by the menu's rule.
    void show(Panel which);

    // The board's text, on the clock display and its mirrors.
    void showBoardText(const QString &text);
    void showPortState(bool open);
    // Every second: the PC's time on the panels that show it.
    void showPcTime();

signals:
    void programPanelBuilt(platine::ProgramPanel &panel);
    void clockSendRequested(const platine::ClockFields &fields);
    void uploadRequested();
    void portOpenRequested();
    void portCloseRequested();
    // A field marked as refused has been edited.
    void fieldCorrected();

private:
    QWidget *panel(Panel which);
    QWidget *build(Panel which);
    void mirrorBoardText(const QString &text);

    QWidget *clientArea_;
    std::function<QDateTime()> clock_;
    std::function<bool()> isPortOpen_;
    std::array<QWidget *, kPanelCount> panels_{};
    ProgramReadResult restored_;
    // The board's text as last shown, for the mirrors of panels built later.
    std::optional<QString> boardText_;
};

}  // namespace platine
