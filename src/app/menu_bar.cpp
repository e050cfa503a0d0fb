#include "app/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

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
                              const std::function<void()> &handler) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
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

    QMenu *file = addMenu(QStringLiteral("Fichier"), QStringLiteral("n_fichier"));
    addEntry(file, QStringLiteral("Enregistrer sous"), QStringLiteral("n_enregistrer"),
             actions.saveProgramAs);
    addEntry(file, QStringLiteral("Ouvrir"), QStringLiteral("n_ouvrir"), actions.openProgram);
    addEntry(file, QStringLiteral("Quitter"), QStringLiteral("n_quit"), actions.quit);

    QMenu *settings = addMenu(QStringLiteral("Paramètrage"), QStringLiteral("n_param"));
    addEntry(settings, QStringLiteral("Mise à l'heure platine"), QStringLiteral("n_mise_a_l_heure"),
             actions.showClockSetting);
    addEntry(settings, QStringLiteral("Affichage heure platine"), QStringLiteral("n_heure_platine"),
             actions.showClockDisplay);
    addEntry(settings, QStringLiteral("Port COM"), QStringLiteral("n_port"), actions.choosePort);

    addBarEntry(QStringLiteral("Programmation"), QStringLiteral("n_prog"), actions.showProgramming);
    addBarEntry(QStringLiteral("Vue de la semaine"), QStringLiteral("n_semaine"),
                actions.showWeekChart);
    addBarEntry(QStringLiteral("Position Switch"), QStringLiteral("n_position"),
                actions.showSwitchPositions);
    addBarEntry(QString(12, u' '), QStringLiteral("n_blanc"), {});
    addBarEntry(QStringLiteral("à propos de ..."), QStringLiteral("n_a_propos_de"),
                actions.showAbout);
}

}  // namespace platine
