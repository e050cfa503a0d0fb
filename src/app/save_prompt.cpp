#include "app/save_prompt.h"

#include <QMessageBox>
#include <QPushButton>

namespace platine {

SaveChoice askToSaveChanges(QWidget *parent)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("savePrompt"));
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QStringLiteral("Programme modifié"));
    box.setText(QStringLiteral("Enregistrer les modifications du programme ?"));
    box.setInformativeText(
        QStringLiteral("Sans enregistrement, les horaires modifiés depuis le dernier "
                       "enregistrement ou le dernier envoi seront perdus."));
    QPushButton *save = box.addButton(QStringLiteral("Enregistrer"), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(QStringLiteral("Ne pas enregistrer"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

}  // namespace platine
