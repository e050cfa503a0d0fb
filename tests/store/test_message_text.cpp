// Texts made for messages: typed text quoted visibly, and system errors in French.
#include "store/system_error_text.h"
#include "store/visible_text.h"

#include <QTest>

#include <cerrno>
#include <cstring>

using namespace platine;

class MessageTextTest : public QObject
{
    Q_OBJECT

private slots:
    void invisibleCharactersShowTheirCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("format characters and odd blanks")
            << QStringLiteral("\u200b\ufeff\u202e\u00a0\u2028")
            << QStringLiteral("<U+200B><U+FEFF><U+202E><U+00A0><U+2028>");
        QTest::newRow("beyond the first plane")
            << QStringLiteral("\U000E0001") << QStringLiteral("<U+E0001>");
        QTest::newRow("unpaired surrogates")
            << QString::fromUtf16(u"\xde00z\xd83d", 3) << QStringLiteral("<U+DE00>z<U+D83D>");
    }
    void invisibleCharactersShowTheirCode()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(visibleText(text), shown);
        QCOMPARE(quotedText(text), QStringLiteral("« ") + shown + QStringLiteral(" »"));
    }

    void systemErrorsAreInFrench()
    {
        const int numbers[] = {ENOENT, ENOTDIR, EACCES,       EPERM,  EBUSY,  ENOTTY,
                               EISDIR, EIO,     ENXIO,        ENODEV, ENOSPC,
#ifdef EDQUOT
                               EDQUOT,  // not on Windows
#endif
                               EROFS,  ELOOP,   ENAMETOOLONG, EINVAL};
        for (const int number : numbers) {
            const QString text = systemErrorText(number);
            const QString english = QString::fromLocal8Bit(std::strerror(number));
            // A wording of its own: neither the system's text nor the generic one.
            QVERIFY2(!text.contains(english, Qt::CaseInsensitive), qPrintable(text));
            QVERIFY2(!text.contains(QStringLiteral("n°")), qPrintable(text));
        }
        QCOMPARE(systemErrorText(ENOSPC), QStringLiteral("disque plein"));
        QCOMPARE(systemErrorText(123456), QStringLiteral("erreur système n° 123456"));
    }
};

QTEST_GUILESS_MAIN(MessageTextTest)
#include "test_message_text.moc"
