#include "app/program_document.h"

#include "app/message_strip.h"
#include "panels/editor_history.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "relays/program_edits.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QUndoGroup>

namespace platine {

namespace {

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

ProgramDocument::ProgramDocument(QWidget *window, std::function<ProgramPanel &()> panel,
                                 MessageStrip &messages)
    : QObject(window), window_(window), panel_(std::move(panel)), messages_(messages),
      savePrompt_(askToSaveChanges), undoGroup_(new QUndoGroup(this))
{}

void ProgramDocument::followPanel(ProgramPanel &panel)
{
    followed_ = &panel;
    EditorHistory &history = panel.editor().history();
    undoGroup_->addStack(history.stack());
    undoGroup_->setActiveStack(history.stack());
    connect(&history, &EditorHistory::modifiedChanged, this, &ProgramDocument::modifiedChanged);
}

void ProgramDocument::setSavePrompt(SavePrompt prompt)
{
    savePrompt_ = prompt ? std::move(prompt) : SavePrompt(askToSaveChanges);
}

EditorHistory &ProgramDocument::history() const
{
    return panel_().editor().history();
}

QString ProgramDocument::askForFile(FileDialogMode mode)
{
    const QString path = filePrompt_ ? filePrompt_(window_, mode)
                                     : askForProgramFile(window_, mode, lastProgramFolder());
    if (path.isEmpty())
        return path;
    rememberProgramFolder(path);
    return mode == FileDialogMode::Save ? withProgramExtension(path) : path;
}

bool ProgramDocument::isModified() const
{
    // A panel not built yet holds the timetable as restored at start: unchanged.
    return followed_ && followed_->editor().history().isModified();
}

bool ProgramDocument::mayDropChanges()
{
    if (!isModified())
        return true;
    switch (savePrompt_(window_)) {
    case SaveChoice::Save:
        return save();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

bool ProgramDocument::save()
{
    if (currentFile_.isEmpty())
        return saveAs();
    return writeTo(currentFile_);
}

bool ProgramDocument::saveAs()
{
    const QString path = askForFile(FileDialogMode::Save);
    if (path.isEmpty())
        return false;  // cancelled
    return writeTo(path);
}

bool ProgramDocument::writeTo(const QString &path)
{
    const QString error = panel_().saveProgramFile(path);
    if (!error.isEmpty()) {
        messages_.showError(error);
        return false;
    }
    messages_.showInformation(QStringLiteral("Programme enregistré dans %1.").arg(path));
    history().markUnchanged();
    recent_.add(path);
    refreshRecentMenu();
    if (currentFile_ != path) {
        currentFile_ = path;
        emit currentFileChanged(path);
    }
    return true;
}

void ProgramDocument::open()
{
    if (!mayDropChanges())
        return;
    const QString path = askForFile(FileDialogMode::Open);
    if (!path.isEmpty())
        openFile(path);
}

bool ProgramDocument::openNamedFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        const bool wasRecent = recent_.files().contains(info.absoluteFilePath());
        recent_.remove(path);
        refreshRecentMenu();
        messages_.showError(
            wasRecent ? QStringLiteral("Programme non ouvert : %1 n'existe plus ; il est retiré "
                                       "des fichiers récents.")
                            .arg(shownPath(path))
                      : QStringLiteral("Programme non ouvert : %1 n'existe pas ou n'est pas un "
                                       "fichier.")
                            .arg(shownPath(path)));
        return false;
    }
    if (!mayDropChanges())
        return false;
    return openFile(path);
}

bool ProgramDocument::openFile(const QString &path)
{
    const QString error = panel_().openProgramFile(path);
    if (!error.isEmpty()) {
        messages_.showError(error);
        return false;
    }
    messages_.showInformation(QStringLiteral("Programme ouvert : %1.").arg(path));
    history().markUnchanged();
    recent_.add(path);
    refreshRecentMenu();
    currentFile_ = path;
    emit currentFileChanged(path);
    return true;
}

bool ProgramDocument::startNew(const QDate &today)
{
    if (!mayDropChanges())
        return false;
    history().replace(QStringLiteral("Nouveau"), neutralProgram(today));
    currentFile_.clear();
    emit currentFileChanged(currentFile_);
    messages_.showInformation(QStringLiteral(
        "Nouveau programme : toutes les heures à 00:00:00, les dates à aujourd'hui, aucun jour, "
        "tous les relais inactifs."));
    return true;
}

void ProgramDocument::openUnnamed(const QString &description, const RelayProgram &program)
{
    history().replace(description, program);
    currentFile_.clear();
    emit currentFileChanged(currentFile_);
}

void ProgramDocument::markKept()
{
    history().markUnchanged();
}

QMenu *ProgramDocument::makeRecentFilesMenu(QWidget *parent)
{
    recentMenu_ = new QMenu(QStringLiteral("Fichiers &récents"), parent);
    recentMenu_->setObjectName(QStringLiteral("n_recents"));
    recentMenu_->menuAction()->setObjectName(QStringLiteral("n_recents"));
    // Another copy of the tool may have changed the list meanwhile.
    connect(recentMenu_, &QMenu::aboutToShow, this, &ProgramDocument::refreshRecentMenu);
    refreshRecentMenu();
    return recentMenu_;
}

void ProgramDocument::refreshRecentMenu()
{
    if (!recentMenu_)
        return;
    recentMenu_->clear();
    const QStringList files = recent_.files();
    if (files.isEmpty()) {
        recentMenu_->addAction(QStringLiteral("Aucun fichier récent"))->setEnabled(false);
        return;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        QString shown = shownPath(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction *action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        action->setObjectName(QStringLiteral("n_recent_%1").arg(i + 1));
        action->setData(path);
        // Queued: the entry's menu is rebuilt when the file is opened.
        connect(
            action, &QAction::triggered, this, [this, path] { openNamedFile(path); },
            Qt::QueuedConnection);
    }
}

}  // namespace platine
