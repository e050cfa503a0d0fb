// The display check made before the toolkit starts: which environments and command lines let
// the tool open a window, and what it says when none does.
#include "app/display_check.h"

#include <QTest>

using namespace platine;

class DisplayCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void decisions_data();
    void decisions();
    void messageNamesTheWaysOut();
};

void DisplayCheckTest::decisions_data()
{
    QTest::addColumn<QString>("variables");  // NAME=value, separated by spaces
    QTest::addColumn<QString>("arguments");  // after the program's name
    QTest::addColumn<bool>("available");
    QTest::newRow("nothing") << ""
                             << "--no-splash" << false;
    QTest::newRow("X11") << "DISPLAY=:0"
                         << "" << true;
    QTest::newRow("Wayland") << "WAYLAND_DISPLAY=wayland-0"
                             << "" << true;
    QTest::newRow("offscreen") << "QT_QPA_PLATFORM=offscreen"
                               << "" << true;
    QTest::newRow("xcb, Wayland only") << "QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w"
                                       << "" << false;
    QTest::newRow("list, falls back on xcb") << "QT_QPA_PLATFORM=wayland;xcb:nograb DISPLAY=:0"
                                             << "" << true;
    QTest::newRow("-platform wins") << "QT_QPA_PLATFORM=offscreen"
                                    << "-platform xcb" << false;
    QTest::newRow("--platform offscreen") << ""
                                          << "--platform offscreen" << true;
    QTest::newRow("-display") << "QT_QPA_PLATFORM=xcb"
                              << "-display :2" << true;
}

void DisplayCheckTest::decisions()
{
    QFETCH(QString, variables);
    QFETCH(QString, arguments);
    QFETCH(bool, available);
    QProcessEnvironment environment;
    for (const QString &variable : variables.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        environment.insert(variable.section(QLatin1Char('='), 0, 0),
                           variable.section(QLatin1Char('='), 1));
    const QStringList command = QStringList{QStringLiteral("platine")} +
                                arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(!missingDisplayMessage(environment, command).has_value(), available);
}

void DisplayCheckTest::messageNamesTheWaysOut()
{
    const QString message =
        missingDisplayMessage(QProcessEnvironment(), {QStringLiteral("platine")})
            .value_or(QString());
    QVERIFY2(message.startsWith(QStringLiteral("platine : aucun affichage graphique")),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("ni DISPLAY ni WAYLAND_DISPLAY")),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("« ssh -X »")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("« xvfb-run platine »")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("platine-cli")), qPrintable(message));
    QProcessEnvironment xcb;
    xcb.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QVERIFY(missingDisplayMessage(xcb, {QStringLiteral("platine")})
                .value_or(QString())
                .contains(QStringLiteral("la plateforme graphique « xcb »")));
}

QTEST_GUILESS_MAIN(DisplayCheckTest)
#include "test_display_check.moc"
