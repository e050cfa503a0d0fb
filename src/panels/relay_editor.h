#pragma once

#include "relays/program_checks.h"
#include "store/relay_program.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace platine {

class EditorHistory;

// The six relays' timetable editor: the relay frames Frame2_0 .. Frame2_5 with the 50 text
// fields Text2_0 .. Text2_49, the four day lists combo1_0 .. combo1_3, the six "Relais Actif"
// boxes Check2_0 .. Check2_5 and the six "Heure PC" buttons Command6_0 .. Command6_5. The
// timetable lives in these controls only; snapshot() and setProgram() read and write them all.
class RelayEditor : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // Creates the relay frames as children of panel, at panel positions given in twips.
    explicit RelayEditor(QWidget *panel, Clock clock = {});

    // Start-up preparation: fills each day list with the ten day choices and selects
    // "Dimanche"; captions and places the six enable boxes.
    void prepare();

    // The undo history of everything done in the editor, and its "modified" state.
    EditorHistory &history() const { return *history_; }

    RelayProgram snapshot() const;
    void setProgram(const RelayProgram &program);

    // Day choice of a list: the selected item, -1 when the text typed in it names none.
    int dayChoice(int index) const;
    // -1..9; other values leave the list as it is.
    void setDayChoice(int index, int choice);
    // 0 clear, 1 ticked, 2 greyed; other values leave the box as it is.
    void setEnable(int index, int value);

    // Puts the focus and a visible mark on a text field that cannot be sent.
    void markInvalidText(int textIndex);

    // A whole-program edit (relay copies and clears, "Corriger") as one undoable step named
    // label; nothing when it changes nothing.
    void applyEdit(const QString &label, const RelayProgram &program);

    // The remarks on the timetable as it stands, each also shown on its field (an amber mark
    // and a tooltip). They are refreshed once the edits of an event have all been made.
    const QList<ProgramFinding> &remarks() const { return remarks_; }

    QGroupBox *relayFrame(int index) const { return frames_[index]; }
    QLineEdit *textField(int index) const { return texts_[index]; }
    QComboBox *dayList(int index) const { return dayLists_[index]; }
    QCheckBox *enableBox(int index) const { return boxes_[index]; }
    QPushButton *heurePcButton(int index) const { return buttons_[index]; }

signals:
    // The user changed a field marked by markInvalidText().
    void markedFieldEdited();
    // The timetable changed (typing, a list, a box, "Heure PC", a load); emitted once for a
    // burst of changes, after the remarks have been refreshed.
    void programChanged();

public slots:
    // "Heure PC" of relay index + 1: its times, dates or month from the PC clock, as one
    // undoable step.
    void fillFromPcClock(int index);

private:
    void writePcClock(int index);
    void buildRelay(const RelayLayout &layout);
    // "Copier vers le relais N°k", "Copier la fenêtre 1 ...", "Effacer le relais".
    void addRelayActions(QMenu *menu, int index);
    void noteChange();
    void refreshRemarks();

    Clock clock_;
    QList<ProgramFinding> remarks_;
    bool refreshPending_ = false;
    std::array<QGroupBox *, kRelayCount> frames_{};
    std::array<QLineEdit *, kTextSlotCount> texts_{};
    std::array<QComboBox *, kDayChoiceCount> dayLists_{};
    std::array<QCheckBox *, kRelayCount> boxes_{};
    std::array<QPushButton *, kRelayCount> buttons_{};
    EditorHistory *history_ = nullptr;
};

}  // namespace platine
