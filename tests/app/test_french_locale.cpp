// The tool is French whatever the desktop's language: this test runs under LANG=C and
// LC_ALL=C and starts the way the program does. The clocks, Qt's file dialog (its texts, its
// sizes and dates) and the locale everybody reads are French.
#include "app/main_window.h"
#include "app/translations.h"
#include "panels/program_panel.h"
#include "support/fake_clock.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

class FrenchLocaleTest : public QObject
{
    Q_OBJECT

private slots:
    void startedUnderLangC();
    void statusClockReadsFrench();
    void fileDialogReadsFrench();
};

void FrenchLocaleTest::startedUnderLangC()
{
    // What the test was started with, so that what follows means something.
    QCOMPARE(qgetenv("LANG"), QByteArray("C"));
    QCOMPARE(QLocale().language(), QLocale::French);
    QCOMPARE(QLocale::system().language(), QLocale::French);
    QCOMPARE(QLocale().toString(QDate(2026, 12, 9), QStringLiteral("d MMMM yyyy")),
             QStringLiteral("9 décembre 2026"));
    QCOMPARE(QLocale().toString(1234.5, 'f', 1), QStringLiteral("1\u202f234,5"));
    // Numbers the program writes to its files stay as they were.
    QCOMPARE(QString::number(1234.5), QStringLiteral("1234.5"));
}

void FrenchLocaleTest::statusClockReadsFrench()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const FakeClock clock(QDateTime(QDate(2026, 12, 9), QTime(18, 12, 13)));
    MainWindow window(windowOptions(dir, &clock));
    QLabel *label5 = window.programPanel()->pcDateTimeLabel();
    QTRY_VERIFY_WITH_TIMEOUT(label5->text() != QStringLiteral("..."), 3000);
    QCOMPARE(label5->text(), QStringLiteral("09/12/2026 18:12"));
}

void FrenchLocaleTest::fileDialogReadsFrench()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("semaine.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(3 * 1024, 'x')) == 3 * 1024);
    file.close();
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("archives"))));

    QFileDialog dialog(nullptr, QStringLiteral("Ouvrir"), dir.path());
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));  // Qt's own dialog, not the desktop's
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    const QModelIndex fileIndex = model->index(file.fileName());
    const QModelIndex folderIndex = model->index(dir.filePath(QStringLiteral("archives")));
    QTRY_VERIFY(!model->data(fileIndex.siblingAtColumn(1)).toString().isEmpty());
    QCOMPARE(model->data(fileIndex.siblingAtColumn(1)).toString(), QStringLiteral("3,00 Kio"));
    QCOMPARE(model->data(folderIndex.siblingAtColumn(2)).toString(), QStringLiteral("Dossier"));
    const QStringList headers{model->headerData(0, Qt::Horizontal).toString(),
                              model->headerData(1, Qt::Horizontal).toString()};
    QCOMPARE(headers, (QStringList{QStringLiteral("Nom"), QStringLiteral("Taille")}));
    dialog.reject();
}

int main(int argc, char *argv[])
{
    useFrenchLocale();
    QApplication app(argc, argv);
    keepCNumbers();
    if (!installFrenchTranslations(app)) {
        qCritical("qtbase_fr.qm is missing: install the Debian package qt6-translations-l10n");
        return 1;
    }
    FrenchLocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_french_locale.moc"
