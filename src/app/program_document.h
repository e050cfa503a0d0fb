#pragma once

#include "app/file_dialogs.h"
#include "app/recent_files.h"
#include "app/save_prompt.h"

#include <QObject>
#include <QString>

#include <functional>

class QDate;
class QMenu;
class QUndoGroup;
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
    using FilePrompt = std::function<QString(QWidget *parent, FileDialogMode mode)>;
    using SavePrompt = std::function<SaveChoice(QWidget *parent)>;

    // The programming panel is built on first use: panel builds it, or gives it once built, and
    // the window calls followPanel() once it exists.
    ProgramDocument(QWidget *window, std::function<ProgramPanel &()> panel, MessageStrip &messages);
    // Replaces the file dialogs of "Enregistrer sous" and "Ouvrir" (for tests).
    void setFilePrompt(FilePrompt prompt) { filePrompt_ = std::move(prompt); }
    // The panel exists now: its history is the document's from here on.
    void followPanel(ProgramPanel &panel);
    // "Annuler" and "Rétablir" act on the panel's history once it exists.
    QUndoGroup *undoGroup() const { return undoGroup_; }

    // Replaces the "Enregistrer les modifications du programme ?" prompt (for tests).
    void setSavePrompt(SavePrompt prompt);

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

    // "Nouveau": the prompt, then the neutral timetable of day today as one undoable step, and no
    // current file; the message strip says what it holds. True once done.
    bool startNew(const QDate &today);

    // A timetable from elsewhere (the history of frames sent) as one undoable step. It belongs
    // to no file from then on: "Enregistrer" asks where, rather than overwrite the file that was
    // open with it.
    void openUnnamed(const QString &description, const RelayProgram &program);

    // The timetable on show has just been kept elsewhere (uploaded and stored in param.ini).
    void markKept();

signals:
    void currentFileChanged(const QString &path);
    void modifiedChanged(bool modified);

private:
    EditorHistory &history() const;
    // The file dialog, in the folder last used; a saved file gets the program extension.
    QString askForFile(FileDialogMode mode);
    bool writeTo(const QString &path);
    bool openFile(const QString &path);
    void refreshRecentMenu();

    QWidget *window_;
    std::function<ProgramPanel &()> panel_;
    MessageStrip &messages_;
    FilePrompt filePrompt_;
    SavePrompt savePrompt_;
    QUndoGroup *undoGroup_ = nullptr;
    ProgramPanel *followed_ = nullptr;
    RecentFiles recent_;
    QString currentFile_;
    QMenu *recentMenu_ = nullptr;
};

}  // namespace platine
