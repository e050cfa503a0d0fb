#include "relays/program_frame.h"
#include "panels/relay_editor.h"
#include "widgets/field_mark.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace platine;

class RelayEditorTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> panel_;
    RelayEditor *editor_ = nullptr;
    QDateTime now_;

private slots:
    void init()
    {
        panel_ = std::make_unique<QWidget>();
        panel_->resize(891, 591);
        editor_ = new RelayEditor(panel_.get(), [this] { return now_; });
        editor_->prepare();
    }
    void cleanup() { panel_.reset(); }

    void everyTextFieldSitsInItsRelayAndRow()
    {
        for (int i = 0; i < kTextSlotCount; ++i) {
            const TextSlotInfo info = textSlotInfo(i);
            auto *field = panel_->findChild<QLineEdit *>(QStringLiteral("Text2_%1").arg(i));
            QVERIFY2(field, qPrintable(QString::number(i)));
            QCOMPARE(field->parentWidget()->objectName(),
                     QStringLiteral("Frame2_%1").arg(info.relay - 1));
            QCOMPARE(field, editor_->textField(i));
            if (info.kind == SlotKind::MonthYear)
                continue;
            // Rows go down in index order; a date stands on its time's row, to its right.
            const RelayLayout &layout = relayLayouts()[info.relay - 1];
            QLineEdit *time = editor_->textField(layout.firstTimeSlot + info.row);
            QCOMPARE(field->y(), time->y());
            if (info.row > 0)
                QVERIFY(field->y() > editor_->textField(i - 1)->y());
            if (info.kind == SlotKind::Date)
                QVERIFY(field->x() > time->x());
        }
        // Relays 1, 3, 5 above; 2, 4, 6 below, left to right.
        for (int r = 0; r < kRelayCount; ++r) {
            QGroupBox *frame = editor_->relayFrame(r);
            QCOMPARE(frame->title(), QStringLiteral("Relais N°%1").arg(r + 1));
            QCOMPARE(frame->y() > editor_->relayFrame(0)->y(), r % 2 == 1);
            if (r >= 2)
                QVERIFY(frame->x() > editor_->relayFrame(r - 2)->x());
        }
    }

    void preparationFillsListsAndPlacesBoxes()
    {
        for (int i = 0; i < kDayChoiceCount; ++i) {
            QComboBox *list = editor_->dayList(i);
            QCOMPARE(list->count(), 10);
            QCOMPARE(list->itemText(0), QStringLiteral("Dimanche"));
            QCOMPARE(list->itemText(8), QStringLiteral("Lundi à Vendredi"));
            QCOMPARE(list->itemText(9), QStringLiteral("Tous les jours"));
            QCOMPARE(editor_->dayChoice(i), 0);
        }
        for (int i = 0; i < kRelayCount; ++i) {
            QCheckBox *box = editor_->enableBox(i);
            QCOMPARE(box->text(), QStringLiteral("Relais Actif"));
            QCOMPARE(box->x(), 2940 / 15);
            QCOMPARE(box->width(), 1155 / 15);
            QCOMPARE(box->checkState(), Qt::Unchecked);
        }
        const RelayProgram empty = editor_->snapshot();
        QCOMPARE(empty, RelayProgram{});
    }

    void heurePcAtMidnightNewYear2010()
    {
        now_ = QDateTime(QDate(2010, 1, 1), QTime(0, 0, 0));  // a Friday
        editor_->setDayChoice(0, 9);
        editor_->fillFromPcClock(0);
        const RelayProgram p = editor_->snapshot();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(p.texts[i], QStringLiteral("00:00:00"));
        QCOMPARE(p.dayChoices[0], 5);  // "Vendredi"
        for (int i = 6; i < kTextSlotCount; ++i)
            QVERIFY(p.texts[i].isEmpty());
    }

    void heurePcOnNewYearsEve2007()
    {
        now_ = QDateTime(QDate(2007, 12, 31), QTime(23, 59, 59));
        editor_->setDayChoice(3, 7);
        editor_->setEnable(2, 1);
        editor_->textField(0)->setText(QStringLiteral("keep"));
        editor_->fillFromPcClock(2);
        editor_->fillFromPcClock(5);
        const RelayProgram p = editor_->snapshot();
        for (int i = 12; i <= 17; ++i)
            QCOMPARE(p.texts[i], QStringLiteral("23:59:00"));
        for (int i = 18; i <= 23; ++i)
            QCOMPARE(p.texts[i], QStringLiteral("31/12/2007"));
        for (int i = 43; i <= 48; ++i)
            QCOMPARE(p.texts[i], QStringLiteral("23:59:00"));
        QCOMPARE(p.texts[49], QStringLiteral("12/2007"));
        QCOMPARE(p.texts[42], QString());
        QCOMPARE(p.dayChoices[3], 7);  // a month relay keeps its day choice
        QCOMPARE(p.enables[2], 1);
        QCOMPARE(p.texts[0], QStringLiteral("keep"));
    }

    void heurePcOnASunday()
    {
        now_ = QDateTime(QDate(2009, 3, 1), QTime(8, 5, 9));
        editor_->setDayChoice(0, 9);
        editor_->setDayChoice(2, 9);
        QTest::mouseClick(editor_->heurePcButton(0), Qt::LeftButton);
        QTest::mouseClick(editor_->heurePcButton(4), Qt::LeftButton);
        const RelayProgram p = editor_->snapshot();
        QCOMPARE(p.dayChoices[0], 0);  // "Dimanche" replaces "Tous les jours"
        QCOMPARE(p.dayChoices[2], 9);
        QCOMPARE(p.texts[36], QStringLiteral("08:05:00"));
        QCOMPARE(p.texts[42], QStringLiteral("03/2009"));
    }

    void heurePcOnEveryRelayMakesAnEncodableProgram()
    {
        now_ = QDateTime(QDate(2026, 12, 8), QTime(7, 3, 41));
        for (int r = 0; r < kRelayCount; ++r)
            editor_->fillFromPcClock(r);
        const ProgramEncodeResult result = encodeProgram(editor_->snapshot());
        QVERIFY2(result.ok(), qPrintable(result.error ? result.error->message() : QString()));
    }

    // A list takes only its items: typing selects by first letters, a text of its own none.
    void dayListsTakeOnlyTheirItems()
    {
        QComboBox *list = editor_->dayList(1);
        list->setFocus();
        QTest::keyClicks(list, QStringLiteral("Ma"));
        QCOMPARE(editor_->dayChoice(1), 2);  // "Mardi"
        QTest::keyClicks(list, QStringLiteral("Ferie"));
        QCOMPARE(editor_->dayChoice(1), 2);
        QVERIFY(!list->isEditable());
        editor_->setDayChoice(1, -1);
        QCOMPARE(editor_->snapshot().dayChoices[1], -1);
    }

    void snapshotRoundTrip()
    {
        QRandomGenerator random(20071123);
        for (int round = 0; round < 20; ++round) {
            RelayProgram program;
            for (QString &text : program.texts) {
                const int length = random.bounded(25);
                for (int c = 0; c < length; ++c)
                    text.append(QChar(u' ' + random.bounded(95)));
            }
            for (int &choice : program.dayChoices)
                choice = random.bounded(-1, 10);
            for (int &enable : program.enables)
                enable = random.bounded(3);
            editor_->setProgram(program);
            QCOMPARE(editor_->snapshot(), program);
        }
    }

    void outOfRangeValuesLeaveTheControl()
    {
        editor_->setDayChoice(2, 6);
        editor_->setEnable(3, 2);
        editor_->setDayChoice(2, 10);
        editor_->setDayChoice(2, -2);
        editor_->setEnable(3, 3);
        editor_->setEnable(3, -1);
        QCOMPARE(editor_->dayChoice(2), 6);
        QCOMPARE(editor_->enableBox(3)->checkState(), Qt::PartiallyChecked);
        // Clicking a greyed box ticks it; it never goes back to grey by clicking.
        panel_->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
        QTest::mouseClick(editor_->enableBox(3), Qt::LeftButton, {},
                          QPoint(5, editor_->enableBox(3)->height() / 2));
        QCOMPARE(editor_->enableBox(3)->checkState(), Qt::Checked);
        QTest::mouseClick(editor_->enableBox(3), Qt::LeftButton, {},
                          QPoint(5, editor_->enableBox(3)->height() / 2));
        QCOMPARE(editor_->enableBox(3)->checkState(), Qt::Unchecked);
    }

    void everyFieldHasItsOwnAccessibleName()
    {
        QSet<QString> names;
        QList<QWidget *> fields;
        for (int i = 0; i < kTextSlotCount; ++i)
            fields.append(editor_->textField(i));
        for (int i = 0; i < kDayChoiceCount; ++i)
            fields.append(editor_->dayList(i));
        for (int i = 0; i < kRelayCount; ++i)
            fields.append(editor_->enableBox(i));
        for (QWidget *field : fields) {
            QVERIFY2(!field->accessibleName().isEmpty(), qPrintable(field->objectName()));
            names.insert(field->accessibleName());
        }
        QCOMPARE(names.size(), fields.size());
        QCOMPARE(editor_->textField(15)->accessibleName(), QStringLiteral("Relais N°3, Fin 2"));
        QCOMPARE(editor_->textField(21)->accessibleName(),
                 QStringLiteral("Relais N°3, date de Fin 2"));
        QCOMPARE(editor_->textField(42)->accessibleName(),
                 QStringLiteral("Relais N°5, Mois - Année"));
    }

    void tabFollowsReadingOrderInsideARelay()
    {
        panel_->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
        panel_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel_.get()));
        // Relay 3: each time is followed by its date on the same row, then the button and box.
        const QList<QWidget *> expected = {
            editor_->textField(12),    editor_->textField(18), editor_->textField(13),
            editor_->textField(19),    editor_->textField(14), editor_->textField(20),
            editor_->textField(15),    editor_->textField(21), editor_->textField(16),
            editor_->textField(22),    editor_->textField(17), editor_->textField(23),
            editor_->heurePcButton(2), editor_->enableBox(2)};
        expected.front()->setFocus();
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
        // Relay 5: times, day list, month-year.
        editor_->textField(41)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor_->dayList(2)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor_->textField(42)));
    }

    void markedFieldLosesItsMarkWhenEdited()
    {
        panel_->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
        QLineEdit *field = editor_->textField(30);
        const QColor normal = field->palette().color(QPalette::Base);
        editor_->markInvalidText(30);
        QVERIFY(field->hasFocus());
        QVERIFY(field->palette().color(QPalette::Base) != normal);
        QTest::keyClicks(field, QStringLiteral("2"));
        QCOMPARE(field->palette().color(QPalette::Base), normal);
    }

    void remarksAreMarkedAsTheUserTypes()
    {
        now_ = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
        QSignalSpy changed(editor_, &RelayEditor::programChanged);
        editor_->setEnable(0, 1);  // the window typed below switches: relay 1 must be active
        for (int i = 0; i < kRelayCount; ++i)
            editor_->fillFromPcClock(i);
        QVERIFY(changed.wait());
        QVERIFY(editor_->remarks().isEmpty());
        QCOMPARE(changed.size(), 1);  // a burst of edits is looked at once

        QLineEdit *field = editor_->textField(0);
        const QColor normal = field->palette().color(QPalette::Base);
        field->setText(QStringLiteral("25:00:00"));
        QTRY_COMPARE(editor_->remarks().size(), 1);
        QCOMPARE(remarkMark(field), QStringLiteral("l'heure 25 n'existe pas (00 à 23) : fenêtre "
                                                   "non dessinée"));
        QCOMPARE(field->toolTip(), remarkMark(field));
        const QColor remark = field->palette().color(QPalette::Base);
        QCOMPARE(remark, remarkMarkColour());
        QVERIFY(remark != normal);
        QVERIFY(remark != invalidMarkColour());

        // The mark of a field that cannot be sent wins until the text changes; then the remark
        // comes back if the new text still deserves it.
        editor_->markInvalidText(0);
        QCOMPARE(field->palette().color(QPalette::Base), invalidMarkColour());
        field->setText(QStringLiteral("26:00:00"));
        QTRY_COMPARE(remarkMark(field).left(13), QStringLiteral("l'heure 26 n'"));
        QCOMPARE(field->palette().color(QPalette::Base), remarkMarkColour());
        field->setText(QStringLiteral("08:00:00"));
        QTRY_VERIFY(editor_->remarks().isEmpty());
        QCOMPARE(field->palette().color(QPalette::Base), normal);
        QVERIFY(field->toolTip().isEmpty());

        // An active weekly relay with no day: the list carries the remark.
        editor_->setEnable(1, 1);
        editor_->setDayChoice(1, -1);
        QTRY_COMPARE(editor_->remarks().size(), 1);
        QVERIFY(!remarkMark(editor_->dayList(1)).isEmpty());
    }
};

QTEST_MAIN(RelayEditorTest)
#include "test_relay_editor.moc"
