#include "link/board_link.h"
#include "link/serial_control.h"
#include "relays/upload.h"
#include "store/profile_file.h"
#include "store/program_file.h"

#include "support/pty_board.h"
#include "support/relay_programs.h"
#include "support/test_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using platine::test::encodableProgram;
using platine::test::PtyBoard;
using platine::test::readBytes;

class UploadTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString settings_;

private slots:
    void init()
    {
        settings_ = dir_.filePath(QStringLiteral("param.ini"));
        QFile::remove(settings_);
        QFile file(settings_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("; r\xe9glages\r\n[Port COM]\r\nvaleur=/dev/null\r\n");
    }

    void workedCasesReachTheBoardAndTheSettingsFile()
    {
        PtyBoard board;
        QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
        BoardLink link;
        link.usePort(board.slavePath());

        RelayProgram program = encodableProgram();
        const QStringList times = {QStringLiteral("08:30:00"), QStringLiteral("12:15:00"),
                                   QStringLiteral("14:00:00"), QStringLiteral("17:45:00"),
                                   QStringLiteral("00:00:00"), QStringLiteral("00:00:00")};
        for (int i = 0; i < 6; ++i)
            program.texts[i] = times[i];
        program.dayChoices[0] = 8;
        program.enables[0] = 1;
        program.texts[12] = QStringLiteral("07:00:00");
        program.texts[18] = QStringLiteral("24/12/2007");
        program.dayChoices[2] = 9;
        program.texts[42] = QStringLiteral("03/2008");

        const UploadResult result = uploadProgram(program, settings_, link);
        QVERIFY2(result.sent && result.stored, qPrintable(result.message));
        QVERIFY2(result.message.startsWith(QStringLiteral("Programme envoyé à la platine")),
                 qPrintable(result.message));
        QVERIFY(link.closeTimer().isActive());

        const QByteArray frame = board.read(kProgramFrameSize);
        QCOMPARE(frame.size(), kProgramFrameSize);
        QCOMPARE(frame.left(15).toHex(' '),
                 QByteArray("42 08 30 12 15 14 00 17 45 00 00 00 00 09 01"));
        QCOMPARE(frame.mid(29, 2).toHex(' '), QByteArray("07 00"));
        QCOMPARE(frame.mid(41, 3).toHex(' '), QByteArray("24 12 07"));
        QCOMPARE(frame.mid(103, 4).toHex(' '), QByteArray("0a 00 03 08"));
        QCOMPARE(board.readAll(100), QByteArray());  // one frame, nothing more

        QCOMPARE(readProfileString(settings_, QStringLiteral("txt1"), QStringLiteral("valeur")),
                 QStringLiteral("12:15:00"));
        QCOMPARE(readProfileString(settings_, QStringLiteral("cmb0"), QStringLiteral("valeur")),
                 QStringLiteral("8"));
        QCOMPARE(readProfileString(settings_, QStringLiteral("chk0"), QStringLiteral("valeur")),
                 QStringLiteral("1"));
        QCOMPARE(readProfileString(settings_, QStringLiteral("txt42"), QStringLiteral("valeur")),
                 QStringLiteral("03/2008"));
        const QByteArray stored = readBytes(settings_);
        QVERIFY(stored.startsWith("; r\xe9glages\r\n[Port COM]\r\nvaleur=/dev/null\r\n[txt0]\r\n"));
        ProgramReadResult back = readProgram(settings_);
        RelayProgram restored;
        back.applyTo(restored);
        QCOMPARE(restored, program);
    }

    void unencodableFieldStoresAndSendsNothing()
    {
        PtyBoard board;
        QVERIFY(board.isOpen());
        BoardLink link;
        link.usePort(board.slavePath());
        RelayProgram program = encodableProgram();
        program.enables = {1, 1, 1, 1, 1, 0};
        program.texts[47] = QString();  // relay 6, not enabled
        const QByteArray before = readBytes(settings_);

        const UploadResult result = uploadProgram(program, settings_, link);
        QVERIFY(!result.sent && !result.stored);
        QVERIFY(result.fieldError);
        QCOMPARE(result.fieldError->textIndex, 47);
        QVERIFY2(result.message.contains(QStringLiteral("Relais N°6, Début 3")),
                 qPrintable(result.message));
        QVERIFY2(result.message.contains(QStringLiteral("est inactif")),
                 qPrintable(result.message));
        QVERIFY(!link.isPortOpen());
        QVERIFY(!link.closeTimer().isActive());
        QCOMPARE(readBytes(settings_), before);
        QCOMPARE(board.readAll(200), QByteArray());
    }

    void unwritableSettingsStillSend()
    {
        PtyBoard board;
        QVERIFY(board.isOpen());
        BoardLink link;
        link.usePort(board.slavePath());
        const QByteArray before = readBytes(settings_);
        QVERIFY(QFile::setPermissions(settings_, QFileDevice::ReadOwner | QFileDevice::ReadGroup));

        const UploadResult result = uploadProgram(encodableProgram(), settings_, link);
        QFile::setPermissions(settings_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(result.sent);
        QVERIFY(!result.stored);
        QVERIFY2(result.message.contains(QStringLiteral("param.ini")), qPrintable(result.message));
        QVERIFY2(result.message.contains(QStringLiteral("tout de même été envoyé")),
                 qPrintable(result.message));
        QCOMPARE(readBytes(settings_), before);
        QCOMPARE(board.read(kProgramFrameSize).size(), kProgramFrameSize);
    }

    void portFailureKeepsTheStoredProgram()
    {
        BoardLink link;
        link.usePort(dir_.filePath(QStringLiteral("ttyNOPE")));
        const UploadResult result = uploadProgram(encodableProgram(), settings_, link);
        QVERIFY(result.stored);
        QVERIFY(!result.sent);
        QVERIFY2(result.message.startsWith(
                     QStringLiteral("Programme enregistré dans %1, mais pas envoyé")
                         .arg(test::shownPath(settings_))),
                 qPrintable(result.message));
        QVERIFY2(result.message.contains(QStringLiteral("ttyNOPE")), qPrintable(result.message));
        QVERIFY(!link.closeTimer().isActive());
        QCOMPARE(readProfileString(settings_, QStringLiteral("txt49"), QStringLiteral("valeur")),
                 QStringLiteral("01/2000"));
    }
};

QTEST_GUILESS_MAIN(UploadTest)
#include "test_upload.moc"
