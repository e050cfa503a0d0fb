#include "app/menu_bar.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>

namespace platine {

void buildMenuBar(QMenuBar *bar, QObject *context, const MenuActions &actions)
{
    bar->setObjectName(QStringLiteral("menuBar"));
    auto addMenu = [bar](const QString &text, const QString &name) {
        QMenu *menu = bar->addMenu(text);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };
    auto addEntry = [context](QMenu *menu, const QString &text, const QString &name,
                              const std::function<void()> &handler,
                              const QKeySequence &shortcut = {}) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        QObject::connect(action, &QAction::triggered, context, handler);
    };
    auto addBarEntry = [context, bar](const QString &text, const QString &name,
                                      const std::function<void()> &handler) {
        auto *action = new QAction(text, bar);
        action->setObjectName(name);
        bar->addAction(action);
        if (handler)
            QObject::connect(action, &QAction::triggered, context, handler);
    };

    // "&" marks the letter that Alt reaches the entry with; it is not shown.
    QMenu *file = addMenu(QStringLiteral("&Fichier"), QStringLiteral("n_fichier"));
    addEntry(file, QStringLiteral("Nou&veau"), QStringLiteral("n_nouveau"), actions.newProgram,
             QKeySequence(Qt::CTRL | Qt::Key_N));
    addEntry(file, QStringLiteral("E&nregistrer"), QStringLiteral("n_sauver"), actions.saveProgram,
             QKeySequence(Qt::CTRL | Qt::Key_S));
    addEntry(file, QStringLiteral("&Enregistrer sous"), QStringLiteral("n_enregistrer"),
             actions.saveProgramAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    addEntry(file, QStringLiteral("&Ouvrir"), QStringLiteral("n_ouvrir"), actions.openProgram,
             QKeySequence(Qt::CTRL | Qt::Key_O));
    if (actions.recentFiles)
        file->addMenu(actions.recentFiles);
    addEntry(file, QStringLiteral("&Quitter"), QStringLiteral("n_quit"), actions.quit,
             QKeySequence(Qt::CTRL | Qt::Key_Q));

    if (actions.undoGroup) {
        QMenu *edit = addMenu(QStringLiteral("&Édition"), QStringLiteral("n_edition"));
        // Their captions name the step: "Annuler « Heure PC » du relais N°1".
        QAction *undo = actions.undoGroup->createUndoAction(edit, QStringLiteral("&Annuler"));
        undo->setObjectName(QStringLiteral("n_annuler"));
        undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
        edit->addAction(undo);
        QAction *redo = actions.undoGroup->createRedoAction(edit, QStringLiteral("&Rétablir"));
        redo->setObjectName(QStringLiteral("n_retablir"));
        redo->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
        edit->addAction(redo);
    }

    QMenu *settings = addMenu(QStringLiteral("P&aramètrage"), QStringLiteral("n_param"));
    addEntry(settings, QStringLiteral("&Mise à l'heure platine"),
             QStringLiteral("n_mise_a_l_heure"), actions.showClockSetting);
    addEntry(settings, QStringLiteral("&Affichage heure platine"),
             QStringLiteral("n_heure_platine"), actions.showClockDisplay);
    addEntry(settings, QStringLiteral("&Port COM"), QStringLiteral("n_port"), actions.choosePort);
    if (actions.showHistory)
        addEntry(settings, QStringLiteral("&Historique des envois"), QStringLiteral("n_historique"),
                 actions.showHistory);

    addBarEntry(QStringLiteral("&Programmation"), QStringLiteral("n_prog"),
                actions.showProgramming);
    addBarEntry(QStringLiteral("&Vue de la semaine"), QStringLiteral("n_semaine"),
                actions.showWeekChart);
    addBarEntry(QStringLiteral("Position &Switch"), QStringLiteral("n_position"),
                actions.showSwitchPositions);
    addBarEntry(QString(12, u' '), QStringLiteral("n_blanc"), {});
    // Only a gap: disabled, the keyboard and screen readers' item navigation skip it.
    bar->findChild<QAction *>(QStringLiteral("n_blanc"))->setEnabled(false);
    addBarEntry(QStringLiteral("à pr&opos de ..."), QStringLiteral("n_a_propos_de"),
                actions.showAbout);
    addBarEntry(QStringLiteral("A&ide"), QStringLiteral("n_aide"), actions.showHelp);
    bar->findChild<QAction *>(QStringLiteral("n_aide"))->setShortcut(QKeySequence(Qt::Key_F1));
}

}  // namespace platine
