#pragma once

#include <QDateTime>
#include <QGroupBox>
#include <QRect>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platine {

class RelayEditor;
struct ProgramReadResult;
struct RelayProgram;
class SwitchDrawing;

// Frame4, "Programmation des horaires d'enclenchement - déclenchement": the panel on which the
// user writes the six relays' timetable and uploads it.
//
// Layout (twips, relative to the panel, 13365 x 8865):
// - the upper part of the panel (60, 240, 13245 x 7380) holds the relay editor: the six relay
//   frames Frame2_0 .. Frame2_5 (4245 x 3465 each) in two rows of three, relays 1, 3, 5 above
//   and 2, 4, 6 below. They are created as direct children of the panel, so their positions are
//   panel twips like everything else here;
// - the bottom strip: the date-time label Label5 (6030, 7680), the mirror of the board's text
//   Text3 (5040, 8130, 3285 x 345), "Programmer" (Command7) and "Quitter" (Command5), the switch
//   drawing for the "Programmation relais" mode (body at 12420, 7950) and the credit Label4
//   (60, 8640).
class ProgramPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kLeft = 60;
    static constexpr int kTop = 60;
    static constexpr int kWidth = 13365;
    static constexpr int kHeight = 8865;

    explicit ProgramPanel(QWidget *parent = nullptr, std::function<QDateTime()> clock = {});

    RelayEditor &editor() const { return *editor_; }

    QLineEdit *text3() const { return text3_; }
    QLabel *label5() const { return label5_; }
    QLabel *label4() const { return label4_; }
    QPushButton *command5() const { return command5_; }
    QPushButton *command7() const { return command7_; }

    // Start-up preparation of the relay editor, run first by the main window's load step:
    // fills the four day lists and places the six "Relais Actif" boxes.
    void prepareEditor();

    // Start-up restore of the last uploaded timetable, as read from the settings file. A missing
    // file or missing sections leave the editor empty. The editor is then unchanged, with
    // nothing to undo. Returns a French message when the file exists but cannot be read (the
    // editor is then left as it is), else an empty text.
    QString restoreProgram(const ProgramReadResult &settings);

    // "Ouvrir": sets the editor from a program file, as one undoable step. A day choice or enable
    // value out of range leaves its control as it was; a file that does not exist empties the
    // editor. Returns a French message when the file cannot be read or holds none of the program's
    // sections (the editor is then left as it is).
    QString openProgramFile(const QString &path);

    // "Enregistrer sous": writes the editor's timetable into a program file, keeping whatever
    // else the file holds. Returns a French message when it cannot be written.
    QString saveProgramFile(const QString &path) const;

    // The timetable the editor holds.
    RelayProgram program() const;
    // Marks the field that stopped an upload.
    void showFieldError(int textIndex);
    // The board's text, mirrored from the clock display; greyed while the port is closed.
    void showBoardText(const QString &text);
    void showBoardTextAsLive(bool live);
    // Label5, the PC's date and time.
    void showPcDateTime(const QDateTime &now);

signals:
    // "Programmer": the board-text mirror has been emptied; the window uploads program().
    void uploadRequested();
    // The field marked by showFieldError() has been edited.
    void fieldCorrected();

private:
    void applyProgram(const ProgramReadResult &read);

    QLineEdit *text3_ = nullptr;
    QLabel *label5_ = nullptr;
    QLabel *label4_ = nullptr;
    QPushButton *command5_ = nullptr;
    QPushButton *command7_ = nullptr;
    SwitchDrawing *switch_ = nullptr;
    RelayEditor *editor_ = nullptr;
};

}  // namespace platine
