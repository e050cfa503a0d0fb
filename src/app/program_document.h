#pragma once

#include "app/file_dialogs.h"
#include "app/recent_files.h"
#include "app/save_prompt.h"

#include <QObject>
#include <QString>

#include <functional>

class QMenu;
class QWidget;

namespace platine {

class EditorHistory;
struct RelayProgram;
class MessageStrip;
class ProgramPanel;

// The timetable in the editor as a document: the file it came from or went to, whether it has
// changed since it was last kept (opened, saved, uploaded or restored at start), the save
// prompt that stands before anything that would drop it, and the recent files.
class ProgramDocument : public QObject
{
    Q_OBJECT

public:
    // Asks for a program file; empty when the user cancels.
    using FilePrompt = std::function<QString(FileDialogMode mode)>;
    using SavePrompt = std::function<SaveChoice(QWidget *parent)>;

    ProgramDocument(QWidget *window, ProgramPanel &panel, MessageStrip &messages,
                    FilePrompt askForFile);

    // Replaces the "Enregistrer les modifications du programme ?" prompt (for tests).
    void setSavePrompt(SavePrompt prompt);

    EditorHistory &history() const;
    bool isModified() const;
    // The file last opened or saved; empty before either.
    QString currentFile() const { return currentFile_; }
    QStringList recentFiles() const { return recent_.files(); }

    // "Fichiers récents", kept up to date; owned by parent.
    QMenu *makeRecentFilesMenu(QWidget *parent);

    // Before anything that would drop the edited timetable (quitting, closing, opening another
    // file, starting a new one): true to go on. An unchanged timetable goes without a word;
    // else the user is asked, and "Enregistrer" goes on only once the file is written.
    bool mayDropChanges();

    // "Enregistrer": into the current file; without one, as "Enregistrer sous". True once
    // written.
    bool save();
    // "Enregistrer sous".
    bool saveAs();
    // "Ouvrir": the prompt, the open dialog, then the file.
    void open();
    // A file named outside the dialog (the recent files, the command line): the prompt, then
    // the file, which must exist. True once opened.
    bool openNamedFile(const QString &path);

    // "Nouveau": the prompt, then the given timetable as one undoable step, and no current file.
    // True once done.
    bool startNew(const RelayProgram &program);

    // The timetable on show has just been kept elsewhere (uploaded and stored in param.ini).
    void markKept();

signals:
    void currentFileChanged(const QString &path);
    void modifiedChanged(bool modified);

private:
    bool writeTo(const QString &path);
    bool openFile(const QString &path);
    void refreshRecentMenu();

    QWidget *window_;
    ProgramPanel &panel_;
    MessageStrip &messages_;
    FilePrompt askForFile_;
    SavePrompt savePrompt_;
    RecentFiles recent_;
    QString currentFile_;
    QMenu *recentMenu_ = nullptr;
};

}  // namespace platine
