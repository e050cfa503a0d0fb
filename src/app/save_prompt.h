#pragma once

class QWidget;

namespace platine {

// The user's answer to "Enregistrer les modifications du programme ?".
enum class SaveChoice { Save, Discard, Cancel };

// Asks, before the edited timetable would be lost, whether to save it: "Enregistrer",
// "Ne pas enregistrer" or "Annuler" (also Escape and the window's close button).
SaveChoice askToSaveChanges(QWidget *parent);

}  // namespace platine
