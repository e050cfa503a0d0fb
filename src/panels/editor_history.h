#pragma once

#include "store/relay_program.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QEvent;
class QLineEdit;
class QUndoStack;
class QWidget;

namespace platine {

class RelayEditor;

// The relay editor's undo history and its "modified" state.
//
// Every step on the undo stack holds the whole timetable before and after it, so anything that
// changes the editor can be undone the same way: the user's typing (merged per field while the
// user stays in it), a day list, a box, "Heure PC", a file opened, or any later action that
// runs through record(). The timetable is 60 short values: a step costs a few kilobytes.
//
// The editor is "unchanged" while it holds the timetable last marked with markUnchanged() (the
// file opened or saved, the timetable uploaded or restored at start).
class EditorHistory : public QObject
{
    Q_OBJECT

public:
    explicit EditorHistory(RelayEditor &editor);
    ~EditorHistory() override;

    QUndoStack *stack() const { return stack_; }

    // Runs change, which sets the editor's controls, as one undoable step named description
    // ("« Heure PC » du relais N°1"). Nothing is pushed when the timetable did not change.
    void record(const QString &description, const std::function<void()> &change);
    // The whole timetable replaced, as one undoable step.
    void replace(const QString &description, const RelayProgram &program);

    // Forgets every step: the editor's current timetable is where undo stops.
    void clear();

    // The editor's current timetable is the one kept on disk or on the board.
    void markUnchanged();
    bool isModified() const;

signals:
    // The editor became different from, or again equal to, the timetable last marked unchanged.
    void modifiedChanged(bool modified);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Step;

    // Typing in edit, which control (the field itself or its day list) holds the focus for.
    void watchLineEdit(QLineEdit *edit, QWidget *control, int key);
    // The user changed the control with that key (see the .cpp): one step, merged with the
    // previous one while the same text stays in the focus.
    void noteUserEdit(int key, QWidget *control, const QString &description);
    void applyProgram(const RelayProgram &program);
    void closeTyping();
    void checkModified();

    RelayEditor &editor_;
    QUndoStack *stack_ = nullptr;
    RelayProgram current_;  // what the last step left, kept in step with the editor
    RelayProgram unchanged_;
    bool modified_ = false;
    bool applying_ = false;  // the editor is being set by a step, not by the user
    // The text being typed in: its key and a number that tells one stay in it from the next.
    int typingKey_ = -1;
    int typingSession_ = 0;
    QPointer<QWidget> typingControl_;
};

}  // namespace platine
