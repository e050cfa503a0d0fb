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
    void messageNamesAChosenPlatform();
};

void DisplayCheckTest::decisions_data()
{
    QTest::addColumn<QStringList>("variables");  // NAME=value
    QTest::addColumn<QStringList>("arguments");  // after the program's name
    QTest::addColumn<bool>("available");

    const QStringList none;
    QTest::newRow("empty environment") << none << none << false;
    QTest::newRow("X11") << QStringList{QStringLiteral("DISPLAY=:0")} << none << true;
    QTest::newRow("Wayland") << QStringList{QStringLiteral("WAYLAND_DISPLAY=wayland-0")} << none
                             << true;
    QTest::newRow("empty DISPLAY") << QStringList{QStringLiteral("DISPLAY=")} << none << false;
    QTest::newRow("offscreen") << QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")} << none
                               << true;
    QTest::newRow("xcb without DISPLAY") << QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb"),
                                                        QStringLiteral("WAYLAND_DISPLAY=wayland-0")}
                                         << none << false;
    QTest::newRow("xcb with options")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb:nograb"), QStringLiteral("DISPLAY=:1")}
        << none << true;
    QTest::newRow("wayland without WAYLAND_DISPLAY")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral("DISPLAY=:0")}
        << none << false;
    QTest::newRow("wayland-egl") << QStringList{QStringLiteral("QT_QPA_PLATFORM=wayland-egl"),
                                                QStringLiteral("WAYLAND_DISPLAY=wayland-1")}
                                 << none << true;
    QTest::newRow("list falls back on xcb")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=wayland;xcb"), QStringLiteral("DISPLAY=:0")}
        << none << true;
    QTest::newRow("list of platforms none can open")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=wayland;xcb")} << none << false;
    QTest::newRow("-platform offscreen")
        << none << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")} << true;
    QTest::newRow("--platform offscreen")
        << none << QStringList{QStringLiteral("--platform"), QStringLiteral("offscreen")} << true;
    QTest::newRow("-platform wins over the variable")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")}
        << QStringList{QStringLiteral("-platform"), QStringLiteral("xcb")} << false;
    QTest::newRow("-display names the X11 server")
        << QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb")}
        << QStringList{QStringLiteral("-display"), QStringLiteral(":2")} << true;
    QTest::newRow("-platform without a value") << QStringList{QStringLiteral("DISPLAY=:0")}
                                               << QStringList{QStringLiteral("-platform")} << true;
    QTest::newRow("the tool's own options do not count")
        << none << QStringList{QStringLiteral("--no-splash")} << false;
}

void DisplayCheckTest::decisions()
{
    QFETCH(QStringList, variables);
    QFETCH(QStringList, arguments);
    QFETCH(bool, available);
    QProcessEnvironment environment;
    for (const QString &variable : variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0),
                           variable.section(QLatin1Char('='), 1));
    const std::optional<QString> message =
        missingDisplayMessage(environment, QStringList{QStringLiteral("platine")} + arguments);
    QCOMPARE(!message.has_value(), available);
}

void DisplayCheckTest::messageNamesTheWaysOut()
{
    const std::optional<QString> message =
        missingDisplayMessage(QProcessEnvironment(), {QStringLiteral("platine")});
    QVERIFY(message.has_value());
    QVERIFY2(message->startsWith(QStringLiteral("platine : aucun affichage graphique")),
             qPrintable(*message));
    QVERIFY2(message->contains(QStringLiteral("ni DISPLAY ni WAYLAND_DISPLAY n'est défini")),
             qPrintable(*message));
    QVERIFY2(message->contains(QStringLiteral("« ssh -X »")), qPrintable(*message));
    QVERIFY2(message->contains(QStringLiteral("« xvfb-run platine »")), qPrintable(*message));
}

void DisplayCheckTest::messageNamesAChosenPlatform()
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const std::optional<QString> message =
        missingDisplayMessage(environment, {QStringLiteral("platine")});
    QVERIFY(message.has_value());
    QVERIFY2(message->contains(QStringLiteral("la plateforme graphique « xcb »")),
             qPrintable(*message));
}

QTEST_GUILESS_MAIN(DisplayCheckTest)
#include "test_display_check.moc"
