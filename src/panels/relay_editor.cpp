#include "panels/relay_editor.h"

#include "link/days.h"
#include "panels/editor_history.h"
#include "relays/program_edits.h"
#include "widgets/contrast.h"
#include "widgets/field_mark.h"
#include "widgets/relay_colours.h"
#include "widgets/ui_layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

namespace platine {

namespace {

// Panel positions (twips) of the relay frames: relays 1, 3, 5 in the upper row, 2, 4, 6 below.
constexpr int kFrameWidth = 4245;
constexpr int kFrameHeight = 3465;
constexpr int kFrameLefts[3] = {60, 4560, 9060};
constexpr int kFrameTops[2] = {240, 3915};

// Positions inside a relay frame (twips).
constexpr int kRowTop = 450;
constexpr int kRowPitch = 390;
constexpr int kFieldHeight = 285;
constexpr int kRightColumn = 1920;

int rowTop(int row)
{
    return kRowTop + row * kRowPitch;
}

QLabel *addLabel(QWidget *parent, const QString &text, int left, int top, int width)
{
    auto *label = new QLabel(text, parent);
    usePanelFont(label);
    placeTwips(label, left, top, width, 255);
    return label;
}

// The box is narrow: its caption gets a smaller font when it would not fit beside the box.
void fitCheckBoxCaption(QCheckBox *box)
{
    const QStyle *style = box->style();
    const int room = box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) -
                     style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    shrinkFontToFit(box, {box->text()}, 8, room);
}

}  // namespace

RelayEditor::RelayEditor(QWidget *panel, Clock clock)
    : QObject(panel),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
{
    for (const RelayLayout &layout : relayLayouts()) {
        const int index = layout.relay - 1;
        auto *frame = new QGroupBox(relayCaption(layout.relay), panel);
        frame->setObjectName(controlArrayName(QStringLiteral("Frame2"), index));
        frame->setAccessibleName(relayCaption(layout.relay));
        usePanelFont(frame);
        placeTwips(frame, kFrameLefts[index / 2], kFrameTops[index % 2], kFrameWidth, kFrameHeight);
        // The caption takes the kind's colour, made dark or light enough to read on the panel;
        // the controls inside keep the usual text colour.
        QPalette captionPalette = frame->palette();
        captionPalette.setColor(
            QPalette::WindowText,
            readableOn(relayKindColour(layout.kind), panel->palette().color(QPalette::Window)));
        frame->setPalette(captionPalette);
        frames_[static_cast<size_t>(index)] = frame;
        buildRelay(layout);
        QPalette normal = panel->palette();
        normal.setColor(QPalette::WindowText, panel->palette().color(QPalette::WindowText));
        for (QWidget *child : frame->findChildren<QWidget *>())
            child->setPalette(normal);
    }
    history_ = new EditorHistory(*this);
}

void RelayEditor::buildRelay(const RelayLayout &layout)
{
    const int index = layout.relay - 1;
    QGroupBox *frame = frames_[static_cast<size_t>(index)];
    const QString relay = relayCaption(layout.relay);
    QList<QWidget *> tabOrder;

    const auto makeText = [&](int textIndex, int left, int top, int width) {
        auto *field = new QLineEdit(frame);
        field->setObjectName(controlArrayName(QStringLiteral("Text2"), textIndex));
        field->setAccessibleName(textSlotDescription(textIndex));
        usePanelFont(field);
        placeTwips(field, left, top, width, kFieldHeight);
        texts_[static_cast<size_t>(textIndex)] = field;
        connect(field, &QLineEdit::textChanged, this, &RelayEditor::noteChange);
        // The field's own menu (cut, copy, paste...) followed by the relay's actions.
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this,
                [this, field, index](const QPoint &pos) {
                    QMenu *menu = field->createStandardContextMenu();
                    menu->addSeparator();
                    addRelayActions(menu, index);
                    menu->exec(field->mapToGlobal(pos));
                    delete menu;
                });
        tabOrder.append(field);
        return field;
    };

    if (layout.kind == RelayKind::Dated)
        addLabel(frame, QStringLiteral("Dates"), 2280, 225, 1275);
    for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
        const int textIndex = layout.firstTimeSlot + row;
        QLabel *caption =
            addLabel(frame, row % 2 == 0 ? QStringLiteral("Début") : QStringLiteral("Fin"), 120,
                     rowTop(row) + 15, 555);
        caption->setObjectName(controlArrayName(QStringLiteral("Label2"), textIndex));
        makeText(textIndex, 720, rowTop(row), 1035);
        if (layout.firstDateSlot >= 0) {
            addLabel(frame, QStringLiteral("Le :"), kRightColumn, rowTop(row) + 15, 345);
            makeText(layout.firstDateSlot + row, 2280, rowTop(row), 1275);
        }
    }

    if (layout.dayChoice >= 0) {
        addLabel(frame, QStringLiteral("Jour(s) concerné(s)"), kRightColumn, rowTop(0), 2205);
        auto *list = new QComboBox(frame);
        list->setObjectName(controlArrayName(QStringLiteral("combo1"), layout.dayChoice));
        list->setAccessibleName(relay + QStringLiteral(", Jour(s) concerné(s)"));
        // Only the listed choices: typing selects an item by its first letters.
        list->setEditable(false);
        usePanelFont(list);
        placeTwips(list, kRightColumn, rowTop(0) + 300, 2205, 315);
        dayLists_[static_cast<size_t>(layout.dayChoice)] = list;
        connect(list, &QComboBox::currentIndexChanged, this, &RelayEditor::noteChange);
        tabOrder.append(list);
    }
    if (layout.monthYearSlot >= 0) {
        addLabel(frame, QStringLiteral("Mois - Année"), kRightColumn, rowTop(2), 2205);
        makeText(layout.monthYearSlot, kRightColumn, rowTop(2) + 300, 1035);
    }

    auto *button = new QPushButton(QStringLiteral("Heure P&C"), frame);
    button->setObjectName(controlArrayName(QStringLiteral("Command6"), index));
    button->setAccessibleName(relay + QStringLiteral(", Heure PC"));
    usePanelFont(button);
    placeTwips(button, 120, 2910, 1155, 375);
    connect(button, &QPushButton::clicked, this, [this, index] { fillFromPcClock(index); });
    buttons_[static_cast<size_t>(index)] = button;
    tabOrder.append(button);

    auto *box = new QCheckBox(frame);
    box->setObjectName(controlArrayName(QStringLiteral("Check2"), layout.enableIndex));
    box->setAccessibleName(relay + QStringLiteral(", Relais Actif"));
    usePanelFont(box);
    // A greyed box comes only from a file; once the user clicks it, it is ticked or clear.
    connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    boxes_[static_cast<size_t>(layout.enableIndex)] = box;
    connect(box, &QCheckBox::stateChanged, this, &RelayEditor::noteChange);
    tabOrder.append(box);

    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The relay's actions, from its frame and from the controls that have no menu of their
    // own (the menu key or Shift+F10 included).
    frame->setContextMenuPolicy(Qt::CustomContextMenu);
    // Shift+F10 does what the menu key does, for keyboards without one.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), frame);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [frame] {
        QWidget *target =
            frame->isAncestorOf(QApplication::focusWidget()) ? QApplication::focusWidget() : frame;
        const QPoint inside = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, inside, target->mapToGlobal(inside));
        QApplication::sendEvent(target, &event);
    });
    connect(frame, &QWidget::customContextMenuRequested, this, [this, frame, index](QPoint pos) {
        QMenu menu(frame);
        addRelayActions(&menu, index);
        menu.exec(frame->mapToGlobal(pos));
    });
}

void RelayEditor::addRelayActions(QMenu *menu, int index)
{
    const RelayProgram program = snapshot();
    const QDate today = clock_().date();
    for (const int other : relaysOfSameKind(index)) {
        menu->addAction(QStringLiteral("Copier vers le relais N°%1").arg(other + 1), this,
                        [this, index, other] {
                            applyEdit(QStringLiteral("Copier le relais N°%1 vers le relais N°%2")
                                          .arg(index + 1)
                                          .arg(other + 1),
                                      copiedRelay(snapshot(), index, other));
                        });
    }
    QAction *copyWindow = menu->addAction(
        QStringLiteral("Copier la fenêtre 1 vers les fenêtres 2 et 3"), this, [this, index] {
            applyEdit(QStringLiteral("Copier la fenêtre 1 du relais N°%1").arg(index + 1),
                      firstWindowCopied(snapshot(), index));
        });
    copyWindow->setEnabled(canCopyFirstWindow(program, index));
    menu->addAction(QStringLiteral("Effacer le relais"), this, [this, index, today] {
        applyEdit(QStringLiteral("Effacer le relais N°%1").arg(index + 1),
                  clearedRelay(snapshot(), index, today));
    });
}

void RelayEditor::applyEdit(const QString &label, const RelayProgram &program)
{
    if (program != snapshot())
        history_->replace(label, program);
}

void RelayEditor::prepare()
{
    for (QComboBox *list : dayLists_) {
        list->clear();
        list->addItems(dayListItems());
        list->setCurrentIndex(0);
    }
    for (QCheckBox *box : boxes_) {
        box->setText(QStringLiteral("Relais Actif"));
        placeTwips(box, 2940, 2970, 1155, 255);
        fitCheckBoxCaption(box);
    }
}

int RelayEditor::dayChoice(int index) const
{
    const QComboBox *list = dayLists_[static_cast<size_t>(index)];
    const int current = list->currentIndex();
    // Typed text that is not the selected item's own text means no choice.
    return current >= 0 && list->currentText() == list->itemText(current) ? current : -1;
}

void RelayEditor::setDayChoice(int index, int choice)
{
    QComboBox *list = dayLists_[static_cast<size_t>(index)];
    if (choice >= -1 && choice < list->count())
        list->setCurrentIndex(choice);
}

void RelayEditor::setEnable(int index, int value)
{
    QCheckBox *box = boxes_[static_cast<size_t>(index)];
    switch (value) {
    case 0:
        box->setTristate(false);
        box->setCheckState(Qt::Unchecked);
        break;
    case 1:
        box->setTristate(false);
        box->setCheckState(Qt::Checked);
        break;
    case 2:
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break;
    }
}

RelayProgram RelayEditor::snapshot() const
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i)
        program.texts[static_cast<size_t>(i)] = texts_[static_cast<size_t>(i)]->text();
    for (int i = 0; i < kDayChoiceCount; ++i)
        program.dayChoices[static_cast<size_t>(i)] = dayChoice(i);
    for (int i = 0; i < kRelayCount; ++i) {
        switch (boxes_[static_cast<size_t>(i)]->checkState()) {
        case Qt::Unchecked:
            program.enables[static_cast<size_t>(i)] = 0;
            break;
        case Qt::Checked:
            program.enables[static_cast<size_t>(i)] = 1;
            break;
        case Qt::PartiallyChecked:
            program.enables[static_cast<size_t>(i)] = 2;
            break;
        }
    }
    return program;
}

void RelayEditor::setProgram(const RelayProgram &program)
{
    for (int i = 0; i < kTextSlotCount; ++i)
        texts_[static_cast<size_t>(i)]->setText(program.texts[static_cast<size_t>(i)]);
    for (int i = 0; i < kDayChoiceCount; ++i)
        setDayChoice(i, program.dayChoices[static_cast<size_t>(i)]);
    for (int i = 0; i < kRelayCount; ++i)
        setEnable(i, program.enables[static_cast<size_t>(i)]);
}

void RelayEditor::markInvalidText(int textIndex)
{
    if (textIndex >= 0 && textIndex < kTextSlotCount)
        markInvalidField(texts_[static_cast<size_t>(textIndex)],
                         [this] { emit markedFieldEdited(); });
}

void RelayEditor::noteChange()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    // A load or "Heure PC" changes many fields in a row: look at the result once.
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refreshRemarks();
        emit programChanged();
    });
}

void RelayEditor::refreshRemarks()
{
    remarks_ = checkProgram(snapshot(), clock_().date());
    std::array<QStringList, kTextSlotCount> textRemarks;
    std::array<QStringList, kDayChoiceCount> listRemarks;
    std::array<QString, kRelayCount> boxRemarks;
    for (const ProgramFinding &finding : std::as_const(remarks_)) {
        if (finding.aboutEnableBox) {
            boxRemarks[static_cast<size_t>(finding.relay - 1)] = finding.problem;
        } else if (finding.textIndex >= 0) {
            textRemarks[static_cast<size_t>(finding.textIndex)].append(finding.problem);
        } else {
            const int list = relayLayouts()[static_cast<size_t>(finding.relay - 1)].dayChoice;
            if (list >= 0)
                listRemarks[static_cast<size_t>(list)].append(finding.problem);
        }
    }
    for (int i = 0; i < kTextSlotCount; ++i)
        setRemarkMark(texts_[static_cast<size_t>(i)],
                      textRemarks[static_cast<size_t>(i)].join(QLatin1Char('\n')));
    for (int i = 0; i < kDayChoiceCount; ++i) {
        setRemarkMark(dayLists_[static_cast<size_t>(i)],
                      listRemarks[static_cast<size_t>(i)].join(QLatin1Char('\n')));
    }
    for (int i = 0; i < kRelayCount; ++i)
        setRemarkMark(
            boxes_[static_cast<size_t>(relayLayouts()[static_cast<size_t>(i)].enableIndex)],
            boxRemarks[static_cast<size_t>(i)]);
}

void RelayEditor::fillFromPcClock(int index)
{
    if (index < 0 || index >= kRelayCount)
        return;
    history_->record(QStringLiteral("« Heure PC » du relais N°%1").arg(index + 1),
                     [this, index] { writePcClock(index); });
}

void RelayEditor::writePcClock(int index)
{
    const RelayLayout &layout = relayLayouts()[static_cast<size_t>(index)];
    const QDateTime now = clock_();
    // Switching times are set to the minute: the seconds always read 00.
    const QString time = now.time().toString(QStringLiteral("hh:mm")) + QStringLiteral(":00");
    for (int row = 0; row < kTimeSlotsPerRelay; ++row)
        texts_[static_cast<size_t>(layout.firstTimeSlot + row)]->setText(time);
    const QDate today = now.date();
    switch (layout.kind) {
    case RelayKind::Weekly:
        setDayChoice(layout.dayChoice, sundayFirstIndex(today.dayOfWeek()));
        break;
    case RelayKind::Dated: {
        const QString date = today.toString(QStringLiteral("dd/MM/yyyy"));
        for (int row = 0; row < kTimeSlotsPerRelay; ++row)
            texts_[static_cast<size_t>(layout.firstDateSlot + row)]->setText(date);
        break;
    }
    case RelayKind::Month:
        texts_[static_cast<size_t>(layout.monthYearSlot)]->setText(
            today.toString(QStringLiteral("MM/yyyy")));
        break;
    }
}

}  // namespace platine
