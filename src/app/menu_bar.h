#pragma once

#include <functional>

class QMenu;
class QMenuBar;
class QObject;
class QUndoGroup;

namespace platine {

// What the tool's menu entries do.
struct MenuActions
{
    std::function<void()> saveProgram;          // "Fichier" / "Enregistrer"
    std::function<void()> saveProgramAs;        // "Fichier" / "Enregistrer sous"
    std::function<void()> openProgram;          // "Fichier" / "Ouvrir"
    std::function<void()> quit;                 // "Fichier" / "Quitter"
    std::function<void()> showClockSetting;     // "Paramètrage" / "Mise à l'heure platine"
    std::function<void()> showClockDisplay;     // "Paramètrage" / "Affichage heure platine"
    std::function<void()> choosePort;           // "Paramètrage" / "Port COM"
    std::function<void()> showProgramming;      // "Programmation"
    std::function<void()> showWeekChart;        // "Vue de la semaine"
    std::function<void()> showSwitchPositions;  // "Position Switch"
    std::function<void()> showAbout;            // "à propos de ..."
    QMenu *recentFiles = nullptr;               // "Fichier" / "Fichiers récents"
    QUndoGroup *undoGroup = nullptr;            // "Édition" / "Annuler", "Rétablir"
    std::function<void()> showHelp;             // "Aide", F1
    std::function<void()> newProgram;           // "Fichier" / "Nouveau"
    std::function<void()> showHistory;          // "Paramètrage" / "Historique des envois"
};

// Fills the menu bar: the menus "Fichier" (n_fichier), "Édition" (n_edition) and "Paramètrage"
// (n_param, "Historique des envois" n_historique after "Port COM") with their entries, then the
// entries of the bar itself, "Programmation" (n_prog), "Vue de la semaine" (n_semaine), "Position
// Switch" (n_position), a blank entry that does nothing and that the keyboard passes by (n_blanc)
// and "à propos de ..." (n_a_propos_de) with "Aide" (n_aide, F1) beside it. Every menu and entry
// carries its name as object name. The actions run in context's thread and stop with it.
void buildMenuBar(QMenuBar *bar, QObject *context, const MenuActions &actions);

}  // namespace platine
