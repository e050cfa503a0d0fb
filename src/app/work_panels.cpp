#include "app/work_panels.h"

#include "link/clock_frame.h"
#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/switch_panel.h"

#include <QLineEdit>
#include <QPushButton>

namespace platine {

WorkPanels::WorkPanels(QWidget *clientArea, std::function<QDateTime()> clock)
    : QObject(clientArea), clientArea_(clientArea), clock_(std::move(clock))
{}

ProgramPanel *WorkPanels::programPanel()
{
    return static_cast<ProgramPanel *>(panel(Programming));
}

ClockPanel *WorkPanels::clockPanel()
{
    return static_cast<ClockPanel *>(panel(ClockSetting));
}

ClockDisplayPanel *WorkPanels::clockDisplayPanel()
{
    return static_cast<ClockDisplayPanel *>(panel(ClockDisplay));
}

SwitchPanel *WorkPanels::switchPanel()
{
    return static_cast<SwitchPanel *>(panel(SwitchPositions));
}

QWidget *WorkPanels::panel(Panel which)
{
    if (panels_[which])
        return panels_[which];
    panels_[which] = build(which);
    panels_[which]->hide();
    // Where two visible panels overlap, the clock display lies over the programming panel and
    // over the top strip of the clock-setting panel, so that its buttons stay usable.
    for (QWidget *built : panels_)
        if (built)
            built->raise();
    if (boardText_)
        showBoardText(*boardText_);
    showPortState(isPortOpen_ && isPortOpen_());
    if (which == Programming)
        emit programPanelBuilt(*programPanel());
    return panels_[which];
}

QWidget *WorkPanels::build(Panel which)
{
    switch (which) {
    case Programming: {
        auto *panel = new ProgramPanel(clientArea_, clock_);
        panel->prepareEditor();
        panel->restoreProgram(restored_);
        connect(panel, &ProgramPanel::uploadRequested, this, &WorkPanels::uploadRequested);
        connect(panel, &ProgramPanel::fieldCorrected, this, &WorkPanels::fieldCorrected);
        return panel;
    }
    case ClockSetting: {
        auto *panel = new ClockPanel(clientArea_, clock_);
        connect(panel, &ClockPanel::clockSendRequested, this, &WorkPanels::clockSendRequested);
        connect(panel, &ClockPanel::fieldCorrected, this, &WorkPanels::fieldCorrected);
        return panel;
    }
    case ClockDisplay: {
        auto *panel = new ClockDisplayPanel(clientArea_);
        connect(panel, &ClockDisplayPanel::portOpenRequested, this, &WorkPanels::portOpenRequested);
        connect(panel, &ClockDisplayPanel::portCloseRequested, this,
                &WorkPanels::portCloseRequested);
        connect(panel, &ClockDisplayPanel::boardTextShown, this, &WorkPanels::mirrorBoardText);
        return panel;
    }
    default:
        return new SwitchPanel(clientArea_);
    }
}

void WorkPanels::show(Panel which)
{
    // The panels each menu entry hides: they would lie under it.
    static constexpr std::array<std::array<bool, kPanelCount>, kPanelCount> hides = {{
        {false, true, true, true},    // "Programmation"
        {true, false, false, true},   // "Mise à l'heure platine"
        {false, false, false, true},  // "Affichage heure platine"
        {true, true, true, false},    // "Position Switch"
    }};
    for (int other = 0; other < kPanelCount; ++other)
        if (hides[which][other] && panels_[other])
            panels_[other]->hide();
    QWidget *focus = nullptr;
    switch (which) {
    case Programming:
        focus = programPanel()->editor().textField(0);
        break;
    case ClockSetting:
        clockPanel()->followPcClock(clock_());
        focus = clockPanel()->field(ClockField::Hours);
        break;
    case ClockDisplay:
        focus = clockDisplayPanel()->openPortButton();
        break;
    default:
        focus = switchPanel()->quitButton();
    }
    panels_[which]->show();
    focus->setFocus(Qt::OtherFocusReason);
}

void WorkPanels::showBoardText(const QString &text)
{
    // The clock display shows it and tells the mirrors; without it, they are told directly.
    if (panels_[ClockDisplay])
        clockDisplayPanel()->showBoardText(text);
    else
        mirrorBoardText(text);
}

void WorkPanels::mirrorBoardText(const QString &text)
{
    boardText_ = text;
    if (panels_[Programming])
        programPanel()->showBoardText(text);
    if (panels_[ClockSetting])
        clockPanel()->showBoardText(text);
}

void WorkPanels::showPortState(bool open)
{
    if (panels_[ClockDisplay])
        clockDisplayPanel()->showPortState(open);
    if (panels_[ClockSetting])
        clockPanel()->showBoardTextAsLive(open);
    if (panels_[Programming])
        programPanel()->showBoardTextAsLive(open);
}

void WorkPanels::showPcTime()
{
    if (panels_[ClockSetting])
        clockPanel()->showPcTime(clock_());
    if (panels_[Programming])
        programPanel()->showPcDateTime(clock_());
}

}  // namespace platine
