#include "panels/editor_history.h"

#include "panels/relay_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoStack>

namespace platine {

namespace {

// What the user changed, as a key: typing in a text field or a day list merges with the
// previous step while the same control keeps the focus; a list pick or a box never merges.
constexpr int kDayTextKey = 100;      // + day list index: text typed into the list
constexpr int kMergeLimit = 200;      // keys from here never merge
constexpr int kDayPickKey = 200;      // + day list index: an item picked
constexpr int kBoxKey = 300;          // + box index
constexpr int kOtherChangeKey = 400;  // a change made outside the user's controls

bool isRedoKey(const QKeyEvent *key)
{
    const QKeySequence pressed(key->keyCombination());
    return key->matches(QKeySequence::Redo) ||
           pressed == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) ||
           pressed == QKeySequence(Qt::CTRL | Qt::Key_Y);
}

}  // namespace

// One undoable change: the whole timetable before and after it. Pushed once its change is
// already on screen, so its first redo() does nothing.
class EditorHistory::Step : public QUndoCommand
{
public:
    Step(EditorHistory &history, const QString &description, RelayProgram before,
         RelayProgram after, int mergeKey, int session)
        : QUndoCommand(description), history_(history), before_(std::move(before)),
          after_(std::move(after)), mergeKey_(mergeKey), session_(session)
    {}

    int id() const override { return mergeKey_ >= 0 ? 1 : -1; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);  // id 1 is only ever a Step
        if (next->mergeKey_ != mergeKey_ || next->session_ != session_)
            return false;
        after_ = next->after_;
        // Typed and then erased again: nothing left to undo.
        setObsolete(after_ == before_);
        return true;
    }

    void redo() override
    {
        if (alreadyDone_) {
            alreadyDone_ = false;
            return;
        }
        history_.applyProgram(after_);
    }

    void undo() override { history_.applyProgram(before_); }

private:
    EditorHistory &history_;
    RelayProgram before_;
    RelayProgram after_;
    int mergeKey_;
    int session_;
    bool alreadyDone_ = true;
};

EditorHistory::EditorHistory(RelayEditor &editor)
    : QObject(&editor), editor_(editor), stack_(new QUndoStack(this))
{
    stack_->setObjectName(QStringLiteral("editorUndoStack"));
    current_ = editor_.snapshot();
    unchanged_ = current_;

    for (int i = 0; i < kTextSlotCount; ++i)
        watchLineEdit(editor_.textField(i), editor_.textField(i), i);
    for (int i = 0; i < kDayChoiceCount; ++i) {
        QComboBox *list = editor_.dayList(i);
        // The list holds the focus and hands Ctrl+Z to its text itself.
        if (QLineEdit *edit = list->lineEdit())
            watchLineEdit(edit, list, kDayTextKey + i);
        connect(list, &QComboBox::activated, this, [this, list, i] {
            noteUserEdit(kDayPickKey + i, list, QStringLiteral("le choix des jours"));
        });
    }
    for (int i = 0; i < kRelayCount; ++i) {
        QCheckBox *box = editor_.enableBox(i);
        connect(box, &QCheckBox::clicked, this, [this, box, i] {
            noteUserEdit(kBoxKey + i, box, QStringLiteral("« Relais Actif »"));
        });
    }
    // Whatever else changed the controls (a panel setting them directly) still becomes a step,
    // so that undo never jumps over it.
    connect(&editor_, &RelayEditor::programChanged, this, [this] {
        if (editor_.snapshot() != current_)
            noteUserEdit(kOtherChangeKey, nullptr, QStringLiteral("la modification"));
        checkModified();
    });
    // Typing in a field is one step until the user goes to another control of the window;
    // a look at another window and back does not end it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old && old == typingControl_ && now && now->window() == old->window())
            closeTyping();
    });
    connect(stack_, &QUndoStack::indexChanged, this, &EditorHistory::checkModified);
}

EditorHistory::~EditorHistory() = default;

void EditorHistory::watchLineEdit(QLineEdit *edit, QWidget *control, int key)
{
    const QString description =
        key < kTextSlotCount ? QStringLiteral("la saisie de « %1 »").arg(textSlotDescription(key))
                             : QStringLiteral("la saisie des jours");
    connect(edit, &QLineEdit::textEdited, this,
            [this, control, key, description] { noteUserEdit(key, control, description); });
    control->installEventFilter(this);
}

void EditorHistory::record(const QString &description, const std::function<void()> &change)
{
    closeTyping();
    const RelayProgram before = editor_.snapshot();
    applying_ = true;
    change();
    applying_ = false;
    const RelayProgram after = editor_.snapshot();
    // What the user did before, if anything slipped past, stays a step of its own.
    if (before != current_)
        stack_->push(new Step(*this, QStringLiteral("la modification"), current_, before, -1, 0));
    current_ = after;
    if (after != before)
        stack_->push(new Step(*this, description, before, after, -1, 0));
    checkModified();
}

void EditorHistory::replace(const QString &description, const RelayProgram &program)
{
    record(description, [this, &program] { editor_.setProgram(program); });
}

void EditorHistory::clear()
{
    closeTyping();
    stack_->clear();
    current_ = editor_.snapshot();
    checkModified();
}

void EditorHistory::markUnchanged()
{
    unchanged_ = editor_.snapshot();
    checkModified();
}

bool EditorHistory::isModified() const
{
    return editor_.snapshot() != unchanged_;
}

bool EditorHistory::eventFilter(QObject *watched, QEvent *event)
{
    // A text field undoes its own typing while the user is still in it; past that, and in a
    // field with nothing of its own to undo, Ctrl+Z goes to the editor's history.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = !undo && isRedoKey(key);
        if (undo || redo) {
            const auto *list = qobject_cast<QComboBox *>(watched);
            const QLineEdit *edit = list ? list->lineEdit() : qobject_cast<QLineEdit *>(watched);
            const bool ownTyping = edit && watched == typingControl_.data() &&
                                   !edit->isReadOnly() &&
                                   (undo ? edit->isUndoAvailable() : edit->isRedoAvailable());
            if (!ownTyping) {
                event->ignore();  // the window's shortcut takes the key
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void EditorHistory::noteUserEdit(int key, QWidget *control, const QString &description)
{
    if (applying_)
        return;
    const RelayProgram now = editor_.snapshot();
    if (now == current_)
        return;
    const bool typing = key < kMergeLimit;
    if (!typing || key != typingKey_ || control != typingControl_) {
        closeTyping();
        if (typing) {
            typingKey_ = key;
            typingControl_ = control;
            ++typingSession_;
        }
    }
    const RelayProgram before = current_;
    current_ = now;
    stack_->push(new Step(*this, description, before, now, typing ? key : -1, typingSession_));
    checkModified();
}

void EditorHistory::applyProgram(const RelayProgram &program)
{
    closeTyping();
    applying_ = true;
    editor_.setProgram(program);
    applying_ = false;
    current_ = program;
}

void EditorHistory::closeTyping()
{
    typingKey_ = -1;
    typingControl_ = nullptr;
}

void EditorHistory::checkModified()
{
    const bool modified = isModified();
    if (modified == modified_)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

}  // namespace platine
