#include "store/settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

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
        qputenv("APPDATA", QDir::toNativeSeparators(config_.path()).toUtf8());
    }

    void besideTheProgramWhenItsFolderIsWritable()
    {
        QTemporaryDir program;
        QCOMPARE(settingsFilePath(program.path()),
                 QDir(program.path()).filePath(QStringLiteral("param.ini")));
    }

#ifdef Q_OS_WIN
    // The installed copy lives in Program Files: its settings go to %APPDATA%\platine, even
    // when the folder could be written (by an administrator).
    void userFolderWhenTheProgramFolderCannotHoldIt()
    {
        const QString expected = config_.path() + QStringLiteral("/platine/param.ini");
        QCOMPARE(settingsFilePath(QStringLiteral("C:/nonexistent/platine")), expected);
        QVERIFY(QFileInfo(config_.path() + QStringLiteral("/platine")).isDir());
        QTemporaryDir programFiles;
        QVERIFY(programFiles.isValid());
        const QByteArray previous = qgetenv("ProgramFiles");
        qputenv("ProgramFiles", QDir::toNativeSeparators(programFiles.path()).toUtf8());
        const QString installed = programFiles.filePath(QStringLiteral("platine"));
        QVERIFY(QDir().mkpath(installed));
        QCOMPARE(settingsFilePath(installed), expected);
        QCOMPARE(settingsFilePath(QDir::toNativeSeparators(installed).toUpper()), expected);
        QVERIFY(!isSystemFolder(programFiles.path() + QStringLiteral("-platine")));
        qputenv("ProgramFiles", previous);
    }
#else
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

    // No usable configuration folder: the settings stay beside the program, with a note, and
    // nothing is created at the root of the file system.
    void environmentWithoutAConfigurationFolder()
    {
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        const bool rootHadConfig = QFileInfo::exists(QStringLiteral("/.config"));
        const QList<QPair<QByteArray, QByteArray>> environments = {
            {"", ""}, {"maison", ""}, {"/", ""}, {"", "config"}, {"/", "/"}};
        for (const auto &[homeValue, configValue] : environments) {
            qputenv("HOME", homeValue);
            qputenv("XDG_CONFIG_HOME", configValue);
            const SettingsLocation location = settingsLocation(QStringLiteral("/usr/bin"));
            QCOMPARE(location.path, QStringLiteral("/usr/bin/param.ini"));
            QVERIFY2(location.note.contains(QStringLiteral("HOME")), qPrintable(location.note));
        }
        // A relative XDG_CONFIG_HOME is ignored for an absolute HOME.
        qputenv("HOME", QFile::encodeName(config_.path()));
        QCOMPARE(settingsFilePath(QStringLiteral("/usr/bin")),
                 config_.path() + QStringLiteral("/.config/platine/param.ini"));
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
        QCOMPARE(QFileInfo::exists(QStringLiteral("/.config")), rootHadConfig);
        QVERIFY(!QFileInfo::exists(QStringLiteral("/platine")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("config")));
    }
#endif
};

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "test_settings_location.moc"
