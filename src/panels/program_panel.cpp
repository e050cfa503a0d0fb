#include "panels/program_panel.h"

#include "panels/editor_history.h"
#include "panels/relay_editor.h"
#include "store/program_file.h"
#include "widgets/app_info.h"
#include "widgets/field_mark.h"
#include "widgets/switch_drawing.h"
#include "widgets/ui_layout.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace platine {

ProgramPanel::ProgramPanel(QWidget *parent, std::function<QDateTime()> clock)
    : QGroupBox(QStringLiteral("Programmation des horaires d'enclenchement - déclenchement"),
                parent)
{
    setObjectName(QStringLiteral("Frame4"));
    placeTwips(this, kLeft, kTop, kWidth, kHeight);
    usePanelFont(this);
    makeOpaque(this);

    // The six relay frames come first, so that the keyboard goes through the relays before
    // reaching the buttons at the bottom.
    editor_ = new RelayEditor(this, std::move(clock));

    label5_ = new QLabel(QStringLiteral("..."), this);
    label5_->setObjectName(QStringLiteral("Label5"));
    placeTwips(label5_, 6030, 7680, 3300, 225);

    text3_ = new QLineEdit(QStringLiteral("...."), this);
    text3_->setObjectName(QStringLiteral("Text3"));
    placeTwips(text3_, 5040, 8130, 3285, 345);

    command7_ = new QPushButton(QStringLiteral("Pro&grammer"), this);
    command7_->setObjectName(QStringLiteral("Command7"));
    placeTwips(command7_, 8580, 8115, 1500, 375);

    command5_ = new QPushButton(QStringLiteral("&Quitter"), this);
    command5_->setObjectName(QStringLiteral("Command5"));
    placeTwips(command5_, 10200, 8115, 1500, 375);

    switch_ = new SwitchDrawing(SwitchDrawing::Lever::On, SwitchDrawing::Lever::Off,
                                SwitchDrawing::Labels::OffOn, this);
    switch_->setObjectName(QStringLiteral("switchDrawing"));
    switch_->placeBodyAt(QPoint(12420, 7950));

    label4_ = new QLabel(creditLabelText(), this);
    label4_->setObjectName(QStringLiteral("Label4"));
    placeTwips(label4_, 60, 8640, 3000, 210);

    connect(command7_, &QPushButton::clicked, this, [this] {
        text3_->clear();
        emit uploadRequested();
    });
    connect(command5_, &QPushButton::clicked, this, &QWidget::hide);
    command5_->setToolTip(QStringLiteral("Cache ce panneau ; les horaires restent tels quels."));
    connect(editor_, &RelayEditor::markedFieldEdited, this, &ProgramPanel::fieldCorrected);
    text3_->setAccessibleName(QStringLiteral("Texte reçu de la platine"));
    showBoardTextAsLive(false);
}

RelayProgram ProgramPanel::program() const
{
    return editor_->snapshot();
}

void ProgramPanel::showFieldError(int textIndex)
{
    editor_->markInvalidText(textIndex);
}

void ProgramPanel::showBoardText(const QString &text)
{
    text3_->setText(text);
}

void ProgramPanel::showBoardTextAsLive(bool live)
{
    showTextAsLive(text3_, live);
}

void ProgramPanel::showPcDateTime(const QDateTime &now)
{
    label5_->setText(QLocale().toString(now, QLocale::ShortFormat));
}

void ProgramPanel::prepareEditor()
{
    editor_->prepare();
}

QString ProgramPanel::openProgramFile(const QString &path)
{
    const ProgramReadResult read = readProgram(path);
    if (read.status == ProfileFileStatus::Unreadable)
        return read.errorMessage;
    if (read.status == ProfileFileStatus::Read && !read.holdsProgram) {
        // Some other file chosen by mistake: what the user typed stays.
        return QStringLiteral("%1 ne contient pas de programme de la platine : le programme "
                              "affiché n'a pas été modifié.")
            .arg(QDir::toNativeSeparators(path));
    }
    // Undoable: the timetable it replaces may be the only copy of the user's work.
    editor_->history().record(QStringLiteral("« Ouvrir »"), [this, &read] { applyProgram(read); });
    return {};
}

void ProgramPanel::applyProgram(const ProgramReadResult &read)
{
    RelayProgram program = editor_->snapshot();
    read.applyTo(program);
    editor_->setProgram(program);
}

QString ProgramPanel::restoreProgram(const ProgramReadResult &read)
{
    // A settings file without a program (only the port, or nothing yet) leaves the editor
    // empty, as it starts.
    if (read.status != ProfileFileStatus::Unreadable)
        applyProgram(read);
    // Undo starts from the timetable the tool starts with, which is also the one kept.
    editor_->history().clear();
    editor_->history().markUnchanged();
    return read.status == ProfileFileStatus::Unreadable ? read.errorMessage : QString();
}

QString ProgramPanel::saveProgramFile(const QString &path) const
{
    const ProfileWriteResult written = writeProgram(path, editor_->snapshot());
    return written.ok ? QString() : written.errorMessage;
}

}  // namespace platine
