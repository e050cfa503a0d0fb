#include "panels/coming_switchings_window.h"

#include "panels/relay_editor.h"
#include "panels/view_output.h"
#include "relays/switching_export.h"
#include "store/relay_program.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace platine {

namespace {

QString timeOfDay(int minute)
{
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QPushButton *addButton(QHBoxLayout *row, const QString &text, const QString &name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    row->addWidget(button);
    return button;
}

}  // namespace

ComingSwitchingsWindow::ComingSwitchingsWindow(const RelayEditor &editor, Clock clock,
                                               QWidget *parent)
    : QWidget(parent, Qt::Window), editor_(editor), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("comingSwitchingsWindow"));
    setWindowTitle(QStringLiteral("Prochaines commutations"));
    savePrompt_ = fileDialogSavePrompt();
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    days_ = new QSpinBox;
    days_->setObjectName(QStringLiteral("comingDaysBox"));
    days_->setAccessibleName(QStringLiteral("Nombre de jours"));
    days_->setRange(1, kMaxComingDays);
    days_->setValue(kDefaultComingDays);
    days_->setSuffix(QStringLiteral(" jours"));
    auto *daysLabel = new QLabel(QStringLiteral("&Sur :"));
    daysLabel->setBuddy(days_);
    row->addWidget(daysLabel);
    row->addWidget(days_);
    period_ = new QLabel;
    period_->setObjectName(QStringLiteral("comingPeriod"));
    row->addWidget(period_, 1);
    connect(addButton(row, QStringLiteral("Exporter en &CSV…"), QStringLiteral("saveCsvButton")),
            &QPushButton::clicked, this, [this] { exportAs(false); });
    connect(
        addButton(row, QStringLiteral("Exporter en i&Calendar…"), QStringLiteral("saveIcsButton")),
        &QPushButton::clicked, this, [this] { exportAs(true); });
    connect(addButton(row, QStringLiteral("&Imprimer…"), QStringLiteral("printComingButton")),
            &QPushButton::clicked, this, &ComingSwitchingsWindow::print);
    layout->addLayout(row);

    table_ = new QTableWidget(0, 5);
    table_->setObjectName(QStringLiteral("comingTable"));
    table_->setAccessibleName(QStringLiteral("Prochaines commutations"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Heure"),
                                       QStringLiteral("Relais"), QStringLiteral("Commutation"),
                                       QStringLiteral("Remarques")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    remarks_ = new QLabel;
    remarks_->setObjectName(QStringLiteral("comingRemarks"));
    remarks_->setWordWrap(true);
    remarks_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(remarks_);

    connect(days_, &QSpinBox::valueChanged, this, &ComingSwitchingsWindow::refresh);
    // A year of switchings is a long list: it is rebuilt while on show only, and when shown.
    connect(&editor_, &RelayEditor::programChanged, this, [this] {
        if (isVisible())
            refresh();
    });
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
    resize(720, 560);
    refresh();
}

void ComingSwitchingsWindow::showEvent(QShowEvent *event)
{
    refresh();  // now has moved on since it was last shown
    QWidget::showEvent(event);
}

void ComingSwitchingsWindow::refresh()
{
    coming_ = comingSwitchings(editor_.snapshot(), clock_(), days_->value());
    const QLocale french(QLocale::French, QLocale::France);
    period_->setText(
        QStringLiteral("du %1 au %2")
            .arg(french.toString(boardDate(coming_.from), QStringLiteral("ddd dd/MM/yyyy")),
                 french.toString(boardDate(coming_.to - 1), QStringLiteral("ddd dd/MM/yyyy"))));
    table_->setRowCount(int(coming_.switchings.size()));
    for (int i = 0; i < coming_.switchings.size(); ++i) {
        const Switching &s = coming_.switchings.at(i);
        const QStringList cells = {
            french.toString(s.date(), QStringLiteral("ddd dd/MM/yyyy")), timeOfDay(s.minuteOfDay()),
            relayCaption(s.relay),
            QStringLiteral("%1 (plage %2)").arg(switchingActionCaption(s.on)).arg(s.window + 1),
            remarksOnWindow(coming_.findings, s.relay, s.window).join(QStringLiteral(" ; "))};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(i, column, new QTableWidgetItem(cells.at(column)));
    }
    table_->resizeColumnsToContents();
    QStringList lines;
    for (const ProgramFinding &finding : coming_.findings)
        lines.append(finding.text());
    remarks_->setText(coming_.switchings.isEmpty()
                          ? QStringLiteral("Aucune commutation sur la période.")
                          : QString());
    if (!lines.isEmpty())
        remarks_->setText(remarks_->text() + QStringLiteral(" Remarques : ") +
                          lines.join(QStringLiteral(" ; ")));
}

QString ComingSwitchingsWindow::saveCsv(const QString &path) const
{
    return writeViewFile(QStringLiteral("Tableau non enregistré"), path, switchingsCsv(coming_));
}

QString ComingSwitchingsWindow::saveICalendar(const QString &path) const
{
    return writeViewFile(QStringLiteral("Calendrier non enregistré"), path,
                         switchingsICalendar(coming_));
}

bool ComingSwitchingsWindow::printOn(QPrinter &printer) const
{
    QTextDocument document;
    QFont font(QStringLiteral("monospace"));
    font.setPointSize(9);
    document.setDefaultFont(font);
    document.setPlainText(windowTitle() + u' ' + period_->text() + QStringLiteral("\n\n") +
                          switchingsText(coming_));
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

void ComingSwitchingsWindow::exportAs(bool calendar)
{
    const ViewSave save =
        calendar ? ViewSave{QStringLiteral("Exporter les commutations en iCalendar"),
                            QStringLiteral("Calendriers iCalendar (*.ics)"), QStringLiteral(".ics"),
                            [this](const QString &path) { return saveICalendar(path); },
                            QStringLiteral("Prochaines commutations enregistrées dans %1.")}
                 : ViewSave{QStringLiteral("Exporter les commutations en CSV"),
                            QStringLiteral("Tableaux CSV (*.csv)"), QStringLiteral(".csv"),
                            [this](const QString &path) { return saveCsv(path); },
                            QStringLiteral("Prochaines commutations enregistrées dans %1.")};
    if (const std::optional<ViewMessage> told = saveView(this, savePrompt_, save))
        emit message(told->text, told->failure);
}

void ComingSwitchingsWindow::print()
{
    if (const std::optional<ViewMessage> told = printView(
            this, [this](QPrinter &printer) { return printOn(printer); },
            QStringLiteral("Prochaines commutations envoyées à l'imprimante."),
            QStringLiteral("Prochaines commutations non imprimées : l'imprimante n'a pas pu être "
                           "utilisée.")))
        emit message(told->text, told->failure);
}

}  // namespace platine
