#include "app/program_document.h"

#include "app/message_strip.h"
#include "panels/editor_history.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace platine {

namespace {

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

ProgramDocument::ProgramDocument(QWidget *window, ProgramPanel &panel, MessageStrip &messages,
                                 FilePrompt askForFile)
    : QObject(window), window_(window), panel_(panel), messages_(messages),
      askForFile_(std::move(askForFile)), savePrompt_(askToSaveChanges)
{
    connect(&history(), &EditorHistory::modifiedChanged, this, &ProgramDocument::modifiedChanged);
}

void ProgramDocument::setSavePrompt(SavePrompt prompt)
{
    savePrompt_ = prompt ? std::move(prompt) : SavePrompt(askToSaveChanges);
}

EditorHistory &ProgramDocument::history() const
{
    return panel_.editor().history();
}

bool ProgramDocument::isModified() const
{
    return history().isModified();
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
    const QString path = askForFile_(FileDialogMode::Save);
    if (path.isEmpty())
        return false;  // cancelled
    return writeTo(path);
}

bool ProgramDocument::writeTo(const QString &path)
{
    const QString error = panel_.saveProgramFile(path);
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
    const QString path = askForFile_(FileDialogMode::Open);
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
    const QString error = panel_.openProgramFile(path);
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

bool ProgramDocument::startNew(const RelayProgram &program)
{
    if (!mayDropChanges())
        return false;
    history().replace(QStringLiteral("Nouveau"), program);
    currentFile_.clear();
    emit currentFileChanged(currentFile_);
    return true;
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
