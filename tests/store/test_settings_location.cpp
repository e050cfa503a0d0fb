#include "store/settings_location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace platine;

class SettingsLocationTest : public QObject
{
    Q_OBJECT

    QTemporaryDir config_;

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    }

    void besideTheProgramWhenItsFolderIsWritable()
    {
        QTemporaryDir program;
        QCOMPARE(settingsFilePath(program.path()),
                 QDir(program.path()).filePath(QStringLiteral("param.ini")));
    }

    void userFolderWhenTheProgramFolderCannotHoldIt()
    {
        const QString expected = config_.path() + QStringLiteral("/platine/param.ini");
        QCOMPARE(settingsFilePath(QStringLiteral("/nonexistent/platine/bin")), expected);
        QVERIFY(QFileInfo(config_.path() + QStringLiteral("/platine")).isDir());
        // An installed copy keeps its settings in the user's folder, even for root.
        QCOMPARE(settingsFilePath(QStringLiteral("/usr/bin")), expected);
        QCOMPARE(settingsFilePath(QStringLiteral("/usr/local/bin/")), expected);
        QVERIFY(!isSystemFolder(QStringLiteral("/usrlocal")));
        if (geteuid() == 0)
            QSKIP("root may write into any folder; the read-only case needs an ordinary user");
        QTemporaryDir program;
        QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(settingsFilePath(program.path()), expected);
        QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "test_settings_location.moc"
