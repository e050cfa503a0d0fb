// "Vue de la semaine" on screen, in files and on a printer, following the editor.

#include "panels/coming_switchings_window.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_view.h"
#include "panels/week_chart_window.h"
#include "relays/switching_export.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using namespace platine;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 0));  // a Wednesday

qsizetype colourCount(const QImage &image, const QColor &colour)
{
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return count;
}

}  // namespace

class WeekChartWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> panel_;
    RelayEditor *editor_ = nullptr;
    std::unique_ptr<WeekChartWindow> window_;
    QTemporaryDir dir_;
    QString answer_;

    void click(const char *name)
    {
        auto *button = window_->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void init()
    {
        panel_ = std::make_unique<QWidget>();
        editor_ = new RelayEditor(panel_.get(), [] { return kNow; });
        editor_->prepare();
        for (int i = 0; i < kRelayCount; ++i)
            editor_->fillFromPcClock(i);  // every window 10:00 - 10:00: nothing to draw
        window_ = std::make_unique<WeekChartWindow>(*editor_, [] { return kNow; });
        window_->setSavePrompt(
            [this](QWidget *, const QString &, const QString &) { return answer_; });
    }
    void cleanup()
    {
        window_.reset();
        panel_.reset();
    }

    void followsTheEditorAndTheChosenWeek()
    {
        QCOMPARE(window_->chart().monday, QDate(2026, 12, 7));
        QCOMPARE(window_->windowTitle(),
                 QStringLiteral("Vue de la semaine du lundi 7 au dimanche 13 décembre 2026[*]"));
        QTRY_VERIFY(window_->chart().bars.isEmpty());
        editor_->textField(1)->setText(QStringLiteral("12:00:00"));  // relay 1: Wednesday
        editor_->enableBox(0)->setChecked(true);
        QTRY_COMPARE(window_->chart().bars.size(), 1);
        QCOMPARE(window_->chart().bars[0].day, 2);
        QVERIFY(window_->chart().bars[0].active);
        editor_->textField(1)->setText(QStringLiteral("25:00:00"));
        QTRY_VERIFY(window_->chart().bars.isEmpty());
        QCOMPARE(window_->chart().findings.size(), 1);

        click("nextWeekButton");
        QCOMPARE(window_->chart().monday, QDate(2026, 12, 14));
        click("previousWeekButton");
        click("previousWeekButton");
        QCOMPARE(window_->chart().monday, QDate(2026, 11, 30));
        QCOMPARE(window_->windowTitle(),
                 QStringLiteral("Vue de la semaine du lundi 30 novembre au dimanche 6 décembre "
                                "2026[*]"));
        click("thisWeekButton");
        QCOMPARE(window_->chart().monday, QDate(2026, 12, 7));
    }

    // PageUp and PageDown turn the weeks, Home comes back, Esc closes; screen readers see a
    // window named after its week.
    void keyboardAndScreenReaders()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        const QDate thisWeek = window_->chart().monday;
        QTest::keyClick(window_.get(), Qt::Key_PageDown);
        QCOMPARE(window_->chart().monday, thisWeek.addDays(7));
        QTest::keyClick(window_.get(), Qt::Key_PageUp);
        QTest::keyClick(window_.get(), Qt::Key_PageUp);
        QCOMPARE(window_->chart().monday, thisWeek.addDays(-7));
        QVERIFY(window_->windowTitle().contains(weekCaption(thisWeek.addDays(-7))));
        QTest::keyClick(window_.get(), Qt::Key_Home);
        QCOMPARE(window_->chart().monday, thisWeek);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(window_.get());
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
    }

    void drawsActiveSolidAndInactiveHatched()
    {
        window_->resize(1000, 700);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        const QImage before = window_->view()->grab().toImage();
        // Two windows of the same length: relay 1 active, relay 3 inactive.
        editor_->textField(1)->setText(QStringLiteral("18:00:00"));
        editor_->textField(13)->setText(QStringLiteral("18:00:00"));
        editor_->enableBox(0)->setChecked(true);
        QTRY_COMPARE(window_->chart().bars.size(), 2);
        QTRY_VERIFY(window_->view()->grab().toImage() != before);
        const QImage after = window_->view()->grab().toImage();
        const qsizetype blue =
            colourCount(after, relayColour(1)) - colourCount(before, relayColour(1));
        const qsizetype magenta =
            colourCount(after, relayColour(3)) - colourCount(before, relayColour(3));
        QVERIFY2(magenta > 0, "the inactive relay is drawn");
        QVERIFY2(blue > 2 * magenta, qPrintable(QStringLiteral("%1 %2").arg(blue).arg(magenta)));
    }

    void savesPngAndPdfWhole()
    {
        answer_ = dir_.filePath(QStringLiteral("semaine"));
        QSignalSpy messages(window_.get(), &WeekChartWindow::message);
        click("savePngButton");
        QImage image(answer_ + QStringLiteral(".png"));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(1600, 1000));
        click("savePdfButton");
        QFile pdf(answer_ + QStringLiteral(".pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1][0].toString(),
                 QStringLiteral("Vue de la semaine enregistrée dans %1.pdf.").arg(answer_));
        QCOMPARE(messages[1][1].toBool(), false);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no temporary left

        // A folder that does not exist: told, nothing written, never called saved.
        answer_ = dir_.filePath(QStringLiteral("absent/semaine.pdf"));
        click("savePdfButton");
        QCOMPARE(messages.size(), 3);
        QVERIFY2(messages[2][0].toString().startsWith(QStringLiteral("PDF non enregistré dans")),
                 qPrintable(messages[2][0].toString()));
        QCOMPARE(messages[2][1].toBool(), true);
        QVERIFY(!QFile::exists(answer_));

        // A cancelled dialog does nothing.
        answer_.clear();
        click("savePngButton");
        QCOMPARE(messages.size(), 3);
    }

    // What "Enregistrer sous" refuses, the export refuses too: a read-only file stays as it
    // is and a named pipe is not turned into a file.
    void exportRefusesWhatSavingRefuses()
    {
        QSignalSpy messages(window_.get(), &WeekChartWindow::message);
        answer_ = dir_.filePath(QStringLiteral("figee.png"));
        QVERIFY(QFile(answer_).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(answer_, QFileDevice::ReadOwner));
        click("savePngButton");
        QCOMPARE(QFileInfo(answer_).size(), 0);
        answer_ = dir_.filePath(QStringLiteral("tube.pdf"));
        QVERIFY(::mkfifo(QFile::encodeName(answer_).constData(), 0644) == 0);
        click("savePdfButton");
        QVERIFY(!QFileInfo(answer_).isFile());
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0][0].toString().contains(QStringLiteral("lecture seule")));
        QVERIFY(messages[1][0].toString().contains(QStringLiteral("pas un fichier ordinaire")));
    }

    void printsOnAPrinter()
    {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir_.filePath(QStringLiteral("imprime.pdf"));
        printer.setOutputFileName(path);
        QVERIFY(window_->printOn(printer));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
    }

    // "Prochaines commutations": from the window's clock over the days chosen, the remarks
    // shown; exported whole as CSV and iCalendar, with the chart's refusals; printed.
    void listsAndExportsTheComingSwitchings()
    {
        editor_->textField(1)->setText(QStringLiteral("12:00:00"));  // relay 1: Wednesdays
        editor_->textField(3)->setText(QStringLiteral("25:00:00"));  // a remark on window 2
        editor_->enableBox(0)->setChecked(true);
        click("comingSwitchingsButton");
        ComingSwitchingsWindow *coming = window_->comingSwitchingsWindow();
        QVERIFY(coming && coming->isVisible());
        QCOMPARE(coming->daysBox()->value(), 14);
        QTRY_COMPARE(coming->table()->rowCount(), 4);  // two Wednesdays, on and off
        const QStringList first = {
            coming->table()->item(0, 0)->text(), coming->table()->item(0, 1)->text(),
            coming->table()->item(0, 2)->text(), coming->table()->item(0, 3)->text()};
        QCOMPARE(first, (QStringList{QStringLiteral("mer. 09/12/2026"), QStringLiteral("10:00"),
                                     QStringLiteral("Relais N°1"),
                                     QStringLiteral("enclenchement (plage 1)")}));
        QVERIFY(!coming->coming().findings.isEmpty());
        QVERIFY2(coming->remarks()->text().contains(coming->coming().findings[0].text()),
                 qPrintable(coming->remarks()->text()));
        coming->daysBox()->setValue(366);
        QCOMPARE(coming->table()->rowCount(), 2 * 53);
        QCOMPARE(coming->table()->item(105, 0)->text(), QStringLiteral("mer. 08/12/2027"));

        QSignalSpy messages(window_.get(), &WeekChartWindow::message);
        answer_ = dir_.filePath(QStringLiteral("commutations"));
        QTest::mouseClick(coming->findChild<QPushButton *>(QStringLiteral("saveCsvButton")),
                          Qt::LeftButton);
        QFile csv(answer_ + QStringLiteral(".csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), switchingsCsv(coming->coming()));
        QTest::mouseClick(coming->findChild<QPushButton *>(QStringLiteral("saveIcsButton")),
                          Qt::LeftButton);
        QFile ics(answer_ + QStringLiteral(".ics"));
        QVERIFY(ics.open(QIODevice::ReadOnly));
        QCOMPARE(ics.readAll().count("BEGIN:VEVENT"), 53);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1][1].toBool(), false);

        answer_ = dir_.filePath(QStringLiteral("figee.csv"));
        QVERIFY(QFile(answer_).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(answer_, QFileDevice::ReadOwner));
        QTest::mouseClick(coming->findChild<QPushButton *>(QStringLiteral("saveCsvButton")),
                          Qt::LeftButton);
        QCOMPARE(QFileInfo(answer_).size(), 0);
        QCOMPARE(messages.size(), 3);
        QVERIFY(messages[2][0].toString().contains(QStringLiteral("lecture seule")));
        QCOMPARE(messages[2][1].toBool(), true);

        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir_.filePath(QStringLiteral("commutations.pdf")));
        QVERIFY(coming->printOn(printer));
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 0);
        coming->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(coming));
        QTest::keyClick(coming, Qt::Key_Escape);
        QVERIFY(!coming->isVisible());
    }
};

QTEST_MAIN(WeekChartWindowTest)
#include "test_week_chart_window.moc"
