// Every text and mark the tool colours itself, on a light and on a dark palette: relay captions,
// field marks, the clock display, greyed board text, the message strip and the week chart keep
// a contrast of 4.5:1 at least. The table of ratios is printed for both palettes.
#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_view.h"
#include "support/main_window_fixture.h"
#include "widgets/contrast.h"
#include "widgets/field_mark.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

namespace {

// A dark palette as desktops set it (Breeze Dark, Adwaita dark and the like).
QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6e, 0x6e, 0x6e));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6e, 0x6e, 0x6e));
    return dark;
}

struct Pair
{
    QString what;
    QColor text;
    QColor background;
};

Pair fieldPair(const QString &what, const QLineEdit *field)
{
    return {what, field->palette().color(QPalette::Active, QPalette::Text),
            field->palette().color(QPalette::Active, QPalette::Base)};
}

Pair stripPair(const QString &what, const MessageStrip *strip)
{
    const QLabel *label = strip->findChild<QLabel *>(QStringLiteral("messageText"));
    return {what, label->palette().color(QPalette::WindowText),
            strip->palette().color(QPalette::Window)};
}

}  // namespace

class ContrastTest : public QObject
{
    Q_OBJECT

private slots:
    void ratiosOfKnownColours();
    void everyColouredTextReads_data();
    void everyColouredTextReads();
};

// The measure itself, against the values WCAG gives.
void ContrastTest::ratiosOfKnownColours()
{
    QCOMPARE(contrastRatio(Qt::black, Qt::white), 21.0);
    QCOMPARE(contrastRatio(Qt::white, Qt::white), 1.0);
    QVERIFY(qAbs(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) - 4.54) < 0.01);
    // A colour that reads is kept; one that does not keeps its hue.
    QCOMPARE(readableOn(QColor(0, 0, 255), Qt::white), QColor(0, 0, 255));
    const QColor magenta = readableOn(QColor(255, 0, 255), QColor(0xef, 0xef, 0xef));
    QVERIFY(contrastRatio(magenta, QColor(0xef, 0xef, 0xef)) >= kMinimumContrast);
    QCOMPARE(magenta.hslHue(), 300);
}

void ContrastTest::everyColouredTextReads_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light palette") << false;
    QTest::newRow("dark palette") << true;
}

void ContrastTest::everyColouredTextReads()
{
    QFETCH(bool, dark);
    const QPalette original = QApplication::palette();
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QList<Pair> pairs;
    {
        MainWindow window(windowOptions(dir));
        const QColor panel = window.programPanel()->palette().color(QPalette::Window);
        RelayEditor &editor = window.programPanel()->editor();
        for (int relay = 0; relay < 6; ++relay) {
            const auto *frame = window.programPanel()->findChild<QGroupBox *>(
                QStringLiteral("Frame2_%1").arg(relay));
            QVERIFY(frame);
            pairs.append({frame->title(), frame->palette().color(QPalette::WindowText), panel});
        }
        pairs.append(
            fieldPair(QStringLiteral("Text1, port fermé"), window.clockDisplayPanel()->boardText()));
        pairs.append(
            fieldPair(QStringLiteral("Text3, port fermé"), window.programPanel()->boardTextMirror()));
        pairs.append(fieldPair(QStringLiteral("Text4, port fermé"), window.clockPanel()->boardTextMirror()));
        showTextAsLive(window.clockDisplayPanel()->boardText(), true);
        pairs.append(
            fieldPair(QStringLiteral("Text1, port ouvert"), window.clockDisplayPanel()->boardText()));
        pairs.append(fieldPair(QStringLiteral("champ normal"), editor.textField(0)));
        markInvalidField(editor.textField(0));
        pairs.append(fieldPair(QStringLiteral("champ à corriger"), editor.textField(0)));
        setRemarkMark(editor.textField(1), QStringLiteral("heure 25"));
        pairs.append(fieldPair(QStringLiteral("champ avec remarque"), editor.textField(1)));
        setRemarkMark(editor.textField(1), QString());
        pairs.append(fieldPair(QStringLiteral("remarque retirée"), editor.textField(1)));

        MessageStrip *strip = window.messageStrip();
        pairs.append(stripPair(QStringLiteral("bandeau : aide"), strip));
        strip->showError(QStringLiteral("erreur"));
        pairs.append(stripPair(QStringLiteral("bandeau : erreur"), strip));
        strip->showWarning(QStringLiteral("remarque"));
        pairs.append(stripPair(QStringLiteral("bandeau : remarque"), strip));
        strip->showInformation(QStringLiteral("information"));
        pairs.append(stripPair(QStringLiteral("bandeau : information"), strip));
    }
    for (int relay = 1; relay <= 6; ++relay)
        pairs.append({QStringLiteral("semaine : R%1").arg(relay), relayColour(relay),
                      weekChartBackground()});
    pairs.append(
        {QStringLiteral("semaine : remarque"), remarkOutlineColour(), weekChartBackground()});
    pairs.append({QStringLiteral("semaine : aujourd'hui"), Qt::black, weekChartTodayBackground()});
    QApplication::setPalette(original);

    QStringList failures;
    for (const Pair &pair : pairs) {
        const double ratio = contrastRatio(pair.text, pair.background);
        qInfo("%-26s %s sur %s : %5.2f:1", qPrintable(pair.what), qPrintable(pair.text.name()),
              qPrintable(pair.background.name()), ratio);
        if (ratio < kMinimumContrast)
            failures.append(QStringLiteral("%1 (%2:1)").arg(pair.what).arg(ratio, 0, 'f', 2));
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QStringLiteral(", "))));
}

QTEST_MAIN(ContrastTest)
#include "test_contrast.moc"
