#include "link/board_link.h"
#include "link/serial_control.h"

#include "support/pty_board.h"
#include "support/test_files.h"
#include "support/timers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>

using platine::BoardLink;
using platine::LinkResult;
using platine::SerialControl;
using platine::test::PtyBoard;
using platine::test::readBytes;
using platine::test::restartsTimer;

// A link step that must succeed, with its reason shown when it does not.
#define VERIFY_LINK(step)                                                                          \
    do {                                                                                           \
        const LinkResult result_ = (step);                                                         \
        QVERIFY2(result_.ok(), qPrintable(result_.reason));                                        \
    } while (false)

namespace {

constexpr int kShortReceiveMs = 100;  // Timer4 in these tests
constexpr int kShortCloseMs = 400;    // Timer3 in these tests
// A timer the test shortens itself once it has looked: it cannot fire in the meantime, however
// slow the machine. Shortening a running timer starts it again with the new interval.
constexpr int kLongMs = 60000;

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// A link with short timers, its settings file in a scratch folder, its port on the board's line.
struct Fixture
{
    QTemporaryDir dir;
    PtyBoard board;
    BoardLink link;
    QSignalSpy texts{&link, &BoardLink::textReceived};
    QSignalSpy states{&link, &BoardLink::portOpenChanged};
    QSignalSpy messages{&link, &BoardLink::portLost};

    Fixture()
    {
        link.setSettingsPath(dir.filePath(QStringLiteral("param.ini")));
        link.setTimerIntervals(kShortReceiveMs, kShortCloseMs);
        link.usePort(board.slavePath());
    }
};

}  // namespace

class BoardLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void shippedTimers();
    void receivedTextComesAfterTimer4();
    void everyByteValueReadsBackAsLatin1();
    void fewerThanThresholdWaitForNextBatch();
    void secondBatchWhileArmedIsReadOnce();
    void openAndCloseButtonsInAnyOrder();
    void sendOpensClosedPortAndTimer3ClosesIt();
    void timer3ClosesPortUserOpened();
    void sendOnOpenPortKeepsItOpen();
    void textWaitingWhenTimer3ClosesIsStillShown();
    void cannotOpen_data();
    void cannotOpen();
    void unplugClosesAndReopens();
    void portSettingRoundTrip();
    void emptyPortAnswerChangesNothing();
    void missingSettingsFileMeansNoPort();
};

void BoardLinkTest::shippedTimers()
{
    BoardLink link;
    QCOMPARE(link.receiveTimer().objectName(), QStringLiteral("Timer4"));
    QCOMPARE(link.closeTimer().objectName(), QStringLiteral("Timer3"));
    QCOMPARE(link.receiveTimer().interval(), 300);
    QCOMPARE(link.closeTimer().interval(), 10000);
    QVERIFY(link.receiveTimer().isSingleShot());
    QVERIFY(link.closeTimer().isSingleShot());
    QVERIFY(!link.receiveTimer().isActive());
    QVERIFY(!link.closeTimer().isActive());
    // The board's answer to a frame shows even when "Ouverture port" was never used.
    QCOMPARE(link.receiveThreshold(), 26);
    QVERIFY(!link.isPortOpen());
}

void BoardLinkTest::receivedTextComesAfterTimer4()
{
    Fixture f;
    REQUIRE_PTY(f.board);
    VERIFY_LINK(f.link.openPort());

    const QByteArray sent("12:34:56 Lundi 01/02/2027 ...");
    QVERIFY(sent.size() >= 26);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(f.board.write(sent));
    QTRY_VERIFY(f.link.receiveTimer().isActive());
    QVERIFY(f.texts.isEmpty());
    QTRY_COMPARE(f.texts.size(), 1);
    // Timer4 waits its interval before reading (coarse timers may fire a little early).
    QVERIFY2(clock.elapsed() >= kShortReceiveMs * 9 / 10,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(f.texts.first().first().toString(), QString::fromLatin1(sent));
    QVERIFY(!f.link.receiveTimer().isActive());
    QVERIFY(!f.texts.wait(2 * kShortReceiveMs));  // read once
    QCOMPARE(f.texts.size(), 1);
}

void BoardLinkTest::everyByteValueReadsBackAsLatin1()
{
    Fixture f;
    REQUIRE_PTY(f.board);
    VERIFY_LINK(f.link.openPort());

    const QByteArray sent = allByteValues();
    QVERIFY(f.board.write(sent));
    QTRY_COMPARE(f.texts.size(), 1);
    const QString text = f.texts.first().first().toString();
    QCOMPARE(text.size(), 256);
    for (int value = 0; value < 256; ++value)
        QCOMPARE(text.at(value).unicode(), char16_t(value));
}

void BoardLinkTest::fewerThanThresholdWaitForNextBatch()
{
    SKIP_WITHOUT_PORT_QUEUE();
    Fixture f;
    REQUIRE_PTY(f.board);
    VERIFY_LINK(f.link.openPort());

    const QByteArray head(25, 'h');
    QVERIFY(f.board.write(head));
    // The port has them, and what it deferred to the event loop is done: no receive event.
    QTRY_VERIFY(f.board.portHasReadAll());
    QCoreApplication::sendPostedEvents();
    QVERIFY(!f.link.receiveTimer().isActive());
    QVERIFY(f.texts.isEmpty());

    QVERIFY(f.board.write(QByteArray("t")));
    QTRY_COMPARE(f.texts.size(), 1);
    QCOMPARE(f.texts.first().first().toString(), QString::fromLatin1(head + "t"));
}

void BoardLinkTest::secondBatchWhileArmedIsReadOnce()
{
    SKIP_WITHOUT_PORT_QUEUE();
    Fixture f;
    REQUIRE_PTY(f.board);
    f.link.setTimerIntervals(kLongMs, kLongMs);
    VERIFY_LINK(f.link.openPort());

    const QByteArray first(26, '1');
    const QByteArray second(30, '2');
    QVERIFY(f.board.write(first));
    QTRY_VERIFY(f.link.receiveTimer().isActive());
    QVERIFY(f.board.write(second));
    QTRY_VERIFY(f.board.portHasReadAll());
    QCoreApplication::sendPostedEvents();
    QVERIFY(f.link.receiveTimer().isActive());
    QVERIFY(f.texts.isEmpty());

    f.link.receiveTimer().setInterval(kShortReceiveMs);
    QTRY_COMPARE(f.texts.size(), 1);
    QCOMPARE(f.texts.first().first().toString(), QString::fromLatin1(first + second));
    QVERIFY(!f.link.receiveTimer().isActive());
    QVERIFY(!f.texts.wait(3 * kShortReceiveMs));  // the second batch was read with the first
    QCOMPARE(f.texts.size(), 1);
}

void BoardLinkTest::openAndCloseButtonsInAnyOrder()
{
    Fixture f;
    REQUIRE_PTY(f.board);

    f.link.closePort();  // closed already: nothing to report
    QVERIFY(f.states.isEmpty());

    f.link.setReceiveThreshold(5);
    VERIFY_LINK(f.link.openPort());
    QCOMPARE(f.link.receiveThreshold(), 26);
    QVERIFY(f.link.isPortOpen());
    VERIFY_LINK(f.link.openPort());  // open already
    QVERIFY(f.link.isPortOpen());
    QCOMPARE(f.states.size(), 1);
    QCOMPARE(f.states.at(0).first().toBool(), true);

    f.link.closePort();
    QVERIFY(!f.link.isPortOpen());
    f.link.closePort();
    QCOMPARE(f.states.size(), 2);
    QCOMPARE(f.states.at(1).first().toBool(), false);
    QVERIFY(f.messages.isEmpty());
}

void BoardLinkTest::sendOpensClosedPortAndTimer3ClosesIt()
{
    Fixture f;
    REQUIRE_PTY(f.board);

    const QByteArray frame = allByteValues();
    VERIFY_LINK(f.link.send(frame));
    QVERIFY(f.link.isPortOpen());
    QVERIFY(f.link.closeTimer().isActive());
    QCOMPARE(f.states.size(), 1);
    QCOMPARE(f.states.at(0).first().toBool(), true);
    QCOMPARE(f.board.read(frame.size()), frame);

    QTRY_VERIFY(!f.link.isPortOpen());
    QCOMPARE(f.states.size(), 2);
    QCOMPARE(f.states.at(1).first().toBool(), false);
    QVERIFY(!f.link.closeTimer().isActive());
    QVERIFY(f.messages.isEmpty());
}

void BoardLinkTest::timer3ClosesPortUserOpened()
{
    Fixture f;
    REQUIRE_PTY(f.board);
    VERIFY_LINK(f.link.openPort());
    QCOMPARE(f.states.size(), 1);
    QVERIFY(!f.link.closeTimer().isActive());

    const QByteArray frame("A\x00\x01\x02\x03\x04\x05\x06", 8);
    VERIFY_LINK(f.link.send(frame));
    QCOMPARE(f.board.read(frame.size()), frame);
    QTRY_VERIFY(!f.link.isPortOpen());
    QCOMPARE(f.states.size(), 2);
    QCOMPARE(f.states.at(1).first().toBool(), false);

    // The port opens again normally afterwards.
    VERIFY_LINK(f.link.openPort());
    QCOMPARE(f.states.size(), 3);
}

void BoardLinkTest::sendOnOpenPortKeepsItOpen()
{
    SKIP_WITHOUT_PORT_QUEUE();
    Fixture f;
    REQUIRE_PTY(f.board);
    f.link.setTimerIntervals(kShortReceiveMs, kLongMs);
    f.link.closeTimer().setTimerType(Qt::PreciseTimer);  // so that a restart shows to the ms
    VERIFY_LINK(f.link.openPort());

    // Text the board sent before the frame, which the port has read: reopening the port would
    // lose it.
    const QByteArray before(10, 'b');
    QVERIFY(f.board.write(before));
    QTRY_VERIFY(f.board.portHasReadAll());

    VERIFY_LINK(f.link.send(QByteArray("A1234567")));
    QCOMPARE(f.board.read(8), QByteArray("A1234567"));
    QCOMPARE(f.states.size(), 1);
    QVERIFY(f.link.closeTimer().isActive());

    // A second frame starts Timer3 again: the port stays open after the last frame.
    QVERIFY(f.link.isPortOpen());
    LinkResult sent;
    QString times;
    const bool restarted = restartsTimer(
        f.link.closeTimer(), [&] { sent = f.link.send(QByteArray("A7654321")); }, &times);
    VERIFY_LINK(sent);
    QVERIFY2(restarted, qPrintable(times));
    QCOMPARE(f.board.read(8), QByteArray("A7654321"));

    const QByteArray after(16, 'a');
    QVERIFY(f.board.write(after));
    QTRY_COMPARE(f.texts.size(), 1);
    QCOMPARE(f.texts.first().first().toString(), QString::fromLatin1(before + after));
    QCOMPARE(f.states.size(), 1);

    f.link.closeTimer().setInterval(kShortCloseMs);
    QTRY_VERIFY(!f.link.isPortOpen());
    QCOMPARE(f.states.size(), 2);
}

void BoardLinkTest::textWaitingWhenTimer3ClosesIsStillShown()
{
    Fixture f;
    REQUIRE_PTY(f.board);
    f.link.setTimerIntervals(kLongMs, kLongMs);

    VERIFY_LINK(f.link.send(QByteArray("B")));
    QCOMPARE(f.board.read(1), QByteArray("B"));
    const QByteArray reply(26, 'r');
    QVERIFY(f.board.write(reply));
    QTRY_VERIFY(f.link.receiveTimer().isActive());
    // Timer3 fires first, while the reply waits for Timer4.
    f.link.closeTimer().setInterval(50);
    QTRY_VERIFY(!f.link.isPortOpen());
    QVERIFY(f.link.receiveTimer().isActive());
    QVERIFY(f.texts.isEmpty());
    f.link.receiveTimer().setInterval(kShortReceiveMs);
    QTRY_COMPARE(f.texts.size(), 1);
    QCOMPARE(f.texts.first().first().toString(), QString::fromLatin1(reply));
}

void BoardLinkTest::cannotOpen_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<bool>("bySend");
    QTest::addColumn<QString>("reason");

    const QString none = QStringLiteral("aucun port choisi");
    const QString missing = QStringLiteral("n'existe pas");
    QTest::newRow("open port 0") << QStringLiteral("0") << false << none;
    QTest::newRow("send port 0") << QStringLiteral("0") << true << none;
    QTest::newRow("send no port") << QString() << true << none;
    QTest::newRow("open missing") << QStringLiteral("ttyPlatineMissing") << false << missing;
    QTest::newRow("send missing") << QStringLiteral("/dev/platine-missing") << true << missing;
}

void BoardLinkTest::cannotOpen()
{
    QFETCH(QString, portText);
    QFETCH(bool, bySend);
    QFETCH(QString, reason);

    Fixture f;
    f.link.usePort(portText);
    const LinkResult done = bySend ? f.link.send(QByteArray("A1234567")) : f.link.openPort();
    QVERIFY(!done);
    QVERIFY(!f.link.isPortOpen());
    QVERIFY(f.states.isEmpty());
    QVERIFY(!f.link.closeTimer().isActive());
    QVERIFY(f.messages.isEmpty());  // told by the result, not as a loss
    const QString &message = done.reason;
    QVERIFY2(message.contains(reason), qPrintable(message));
    if (!portText.isEmpty())
        QVERIFY2(message.contains(portText), qPrintable(message));
}

void BoardLinkTest::unplugClosesAndReopens()
{
    Fixture f;
    REQUIRE_PTY(f.board);
    const QString oldPort = f.board.slavePath();
    VERIFY_LINK(f.link.openPort());
    QCOMPARE(f.states.size(), 1);

    errno = 0;  // the worst case for Qt 6.4: a read error at every wakeup
    f.board.close();
    QTRY_COMPARE_WITH_TIMEOUT(f.states.size(), 2, 3000);
    QCOMPARE(f.states.at(1).first().toBool(), false);
    QVERIFY(!f.link.isPortOpen());
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages.first().first().toString().contains(oldPort),
             qPrintable(f.messages.first().first().toString()));
    // Nothing more, not even at the next check of the device.
    QVERIFY(!QTest::qWaitFor([&f] { return f.messages.size() > 1 || f.states.size() > 2; },
                             SerialControl::kDeviceCheckIntervalMs + 100));
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.states.size(), 2);

    // The board is back (on a new line here).
    PtyBoard board;
    REQUIRE_PTY(board);
    f.link.usePort(board.slavePath());
    VERIFY_LINK(f.link.send(QByteArray("B\x80\xff", 3)));
    QCOMPARE(board.read(3), QByteArray("B\x80\xff", 3));
    QCOMPARE(f.states.size(), 3);
    QCOMPARE(f.states.at(2).first().toBool(), true);
}

void BoardLinkTest::portSettingRoundTrip()
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("param.ini"));
    {
        BoardLink link;
        link.setSettingsPath(settings);
        QSignalSpy states(&link, &BoardLink::portOpenChanged);
        const platine::ProfileWriteResult result = link.changePort(QStringLiteral("3"));
        QVERIFY2(result.ok, qPrintable(result.errorMessage));
        QCOMPARE(link.port(), QStringLiteral("3"));
        QVERIFY(!link.isPortOpen());
        QVERIFY(states.isEmpty());
    }
    const QByteArray content = readBytes(settings);
    QVERIFY2(content.contains("[Port COM]"), content.constData());
    QVERIFY2(content.contains("valeur=3"), content.constData());
    QVERIFY(content.indexOf("[Port COM]") < content.indexOf("valeur=3"));

    BoardLink next;
    next.setSettingsPath(settings);
    next.loadPortSetting();
    QCOMPARE(next.port(), QStringLiteral("3"));
    QVERIFY(!next.isPortOpen());

    // A device name is kept as typed.
    QVERIFY(next.changePort(QStringLiteral("ttyUSB0")).ok);
    BoardLink third;
    third.setSettingsPath(settings);
    third.loadPortSetting();
    QCOMPARE(third.port(), QStringLiteral("ttyUSB0"));
}

void BoardLinkTest::emptyPortAnswerChangesNothing()
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("param.ini"));
    BoardLink link;
    link.setSettingsPath(settings);
    link.usePort(QStringLiteral("2"));

    QVERIFY(link.changePort(QString()).ok);
    QCOMPARE(link.port(), QStringLiteral("2"));
    QVERIFY(!QFile::exists(settings));

    QVERIFY(link.changePort(QStringLiteral("4")).ok);
    const QByteArray written = readBytes(settings);
    QVERIFY(link.changePort(QString()).ok);
    QCOMPARE(link.port(), QStringLiteral("4"));
    QCOMPARE(readBytes(settings), written);
}

void BoardLinkTest::missingSettingsFileMeansNoPort()
{
    QTemporaryDir dir;
    BoardLink link;
    link.setSettingsPath(dir.filePath(QStringLiteral("param.ini")));
    link.loadPortSetting();
    QVERIFY(link.port().isEmpty());
    const LinkResult opened = link.openPort();
    QVERIFY(!opened);
    QVERIFY2(opened.reason.contains(QStringLiteral("aucun port choisi")),
             qPrintable(opened.reason));
}

QTEST_GUILESS_MAIN(BoardLinkTest)
#include "test_board_link.moc"
