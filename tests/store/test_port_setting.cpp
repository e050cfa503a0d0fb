// The "Port COM" entry of the settings file: the text as typed, and the port number read from
// its first 19 characters.
#include "store/port_setting.h"

#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

class PortSettingTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int counter_ = 0;

    QString freshPath() { return dir_.filePath(QStringLiteral("param%1.ini").arg(++counter_)); }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void read_data();
    void read();
    void missingFileOrEntry();
    void writtenAsTyped_data();
    void writtenAsTyped();
    void writeFailureIsReported();
};

void PortSettingTest::read_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("number") << QByteArray("3") << QStringLiteral("3") << 3;
    QTest::newRow("blanks around") << QByteArray(" \t4 ") << QStringLiteral("4") << 4;
    QTest::newRow("number then text") << QByteArray("7abc") << QStringLiteral("7abc") << 7;
    QTest::newRow("half to even") << QByteArray("2.5") << QStringLiteral("2.5") << 2;
    QTest::newRow("3.5") << QByteArray("3.5") << QStringLiteral("3.5") << 4;
    QTest::newRow("negative") << QByteArray("-3") << QStringLiteral("-3") << -3;
    QTest::newRow("name") << QByteArray("COM5") << QStringLiteral("COM5") << 0;
    QTest::newRow("empty") << QByteArray("") << QString() << 0;
    QTest::newRow("device path") << QByteArray("/dev/ttyUSB0") << QStringLiteral("/dev/ttyUSB0")
                                 << 0;
    QTest::newRow("long device path is not cut")
        << QByteArray("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")
        << QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0") << 0;
    QTest::newRow("number from the first 19 characters only")
        << QByteArray("00000000000000000001") << QStringLiteral("00000000000000000001") << 0;
    QTest::newRow("19 characters after the blanks")
        << QByteArray("    0000000000000000002") << QStringLiteral("0000000000000000002") << 2;
    QTest::newRow("too large for a port number")
        << QByteArray("12345678901234567890") << QStringLiteral("12345678901234567890") << 0;
    QTest::newRow("Windows-1252") << QByteArray("5 \x80") << QStringLiteral(u"5 €") << 5;
}

void PortSettingTest::read()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    QFETCH(int, number);

    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[txt0]\r\nvaleur=x\r\n[port com]\r\nValeur=" + stored + "\r\n"));
    const PortSetting setting = readPortSetting(path);
    QCOMPARE(setting.text, text);
    QCOMPARE(setting.number, number);
}

void PortSettingTest::missingFileOrEntry()
{
    const PortSetting none = readPortSetting(dir_.filePath(QStringLiteral("absent.ini")));
    QCOMPARE(none.text, QString());
    QCOMPARE(none.number, 0);

    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[Port]\r\nvaleur=3\r\n[Port COM]\r\nvalue=4\r\n"));
    const PortSetting other = readPortSetting(path);
    QCOMPARE(other.text, QString());
    QCOMPARE(other.number, 0);
}

void PortSettingTest::writtenAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("rewritten");  // the line once "9" is written over it

    QTest::newRow("number") << QStringLiteral("3") << QByteArray("valeur=3") << QStringLiteral("3")
                            << 3 << QByteArray("valeur=9");
    // The value is stored as typed; a later write keeps the blanks around it, as it keeps any
    // spacing of the line.
    QTest::newRow("blanks kept in the file")
        << QStringLiteral(" 12 ") << QByteArray("valeur= 12 ") << QStringLiteral("12") << 12
        << QByteArray("valeur= 9 ");
    QTest::newRow("device path") << QStringLiteral("/dev/serial/by-id/usb-0403_6001-if00-port0")
                                 << QByteArray("valeur=/dev/serial/by-id/usb-0403_6001-if00-port0")
                                 << QStringLiteral("/dev/serial/by-id/usb-0403_6001-if00-port0")
                                 << 0 << QByteArray("valeur=9");
    QTest::newRow("line break typed")
        << QStringLiteral("4\n[txt0]") << QByteArray("valeur=4 [txt0]")
        << QStringLiteral("4 [txt0]") << 4 << QByteArray("valeur=9");
}

void PortSettingTest::writtenAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QByteArray, rewritten);

    const QString path = freshPath();
    const QByteArray before = "[txt0]\r\nvaleur=08:00:00\r\n";
    QVERIFY(writeBytes(path, before));
    const ProfileWriteResult result = writePortSetting(path, typed);
    QVERIFY2(result.ok, qPrintable(result.errorMessage));
    QCOMPARE(readBytes(path), before + "[Port COM]\r\n" + line + "\r\n");
    const PortSetting setting = readPortSetting(path);
    QCOMPARE(setting.text, text);
    QCOMPARE(setting.number, number);

    // Written again over the old entry.
    QVERIFY(writePortSetting(path, QStringLiteral("9")).ok);
    QCOMPARE(readBytes(path), before + "[Port COM]\r\n" + rewritten + "\r\n");
}

void PortSettingTest::writeFailureIsReported()
{
    const QString path = freshPath();
    QVERIFY(writePortSetting(path, QStringLiteral("1")).ok);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const ProfileWriteResult result = writePortSetting(path, QStringLiteral("2"));
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le fichier est en lecture seule")
                 .arg(shownPath(path)));
    QCOMPARE(readPortSetting(path).number, 1);
}

QTEST_GUILESS_MAIN(PortSettingTest)
#include "test_port_setting.moc"
