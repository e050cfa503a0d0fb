#include "panels/week_chart_window.h"

#include "panels/coming_switchings_window.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_view.h"
#include "widgets/screen_fit.h"

#include <QAccessibleWidget>
#include <QBuffer>
#include <QHBoxLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace platine {

namespace {

constexpr QSize kImageSize(1600, 1000);
constexpr int kPdfResolution = 150;

QPushButton *addButton(QHBoxLayout *row, const QString &text, const QString &name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    row->addWidget(button);
    return button;
}

// Screen readers see the chart window as a window ("frame"), not as a bare widget.
QAccessibleInterface *chartWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(WeekChartWindow::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

WeekChartWindow::WeekChartWindow(const RelayEditor &editor, Clock clock, QWidget *parent)
    : QWidget(parent, Qt::Window), editor_(editor), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("weekChartWindow"));
    savePrompt_ = fileDialogSavePrompt();

    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    connect(addButton(buttons, QStringLiteral("◀ Semaine précédente"),
                      QStringLiteral("previousWeekButton")),
            &QPushButton::clicked, this, &WeekChartWindow::showPreviousWeek);
    connect(addButton(buttons, QStringLiteral("Cette semaine"), QStringLiteral("thisWeekButton")),
            &QPushButton::clicked, this, &WeekChartWindow::showThisWeek);
    connect(
        addButton(buttons, QStringLiteral("Semaine suivante ▶"), QStringLiteral("nextWeekButton")),
        &QPushButton::clicked, this, &WeekChartWindow::showNextWeek);
    buttons->addStretch();
    connect(
        addButton(buttons, QStringLiteral("Enregistrer en PNG…"), QStringLiteral("savePngButton")),
        &QPushButton::clicked, this, [this] { saveAs(false); });
    connect(
        addButton(buttons, QStringLiteral("Enregistrer en PDF…"), QStringLiteral("savePdfButton")),
        &QPushButton::clicked, this, [this] { saveAs(true); });
    connect(addButton(buttons, QStringLiteral("Imprimer…"), QStringLiteral("printButton")),
            &QPushButton::clicked, this, &WeekChartWindow::print);
    connect(addButton(buttons, QStringLiteral("Prochaines commutations…"),
                      QStringLiteral("comingSwitchingsButton")),
            &QPushButton::clicked, this, &WeekChartWindow::showComingSwitchings);
    layout->addLayout(buttons);
    // The chart keeps the room its labels need and scrolls in a window smaller than that.
    view_ = new WeekChartView;
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("weekChartScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(view_);
    layout->addWidget(scroll, 1);

    connect(&editor_, &RelayEditor::programChanged, this, &WeekChartWindow::refresh);

    // The keyboard: Esc or Ctrl+W closes, PageUp and PageDown turn the weeks, Home comes back.
    const auto onKeys = [this](const QList<QKeySequence> &keys, auto handler) {
        for (const QKeySequence &key : keys)
            connect(new QShortcut(key, this), &QShortcut::activated, this, handler);
    };
    onKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}, [this] { close(); });
    onKeys({QKeySequence(Qt::Key_PageUp)}, [this] { showPreviousWeek(); });
    onKeys({QKeySequence(Qt::Key_PageDown)}, [this] { showNextWeek(); });
    onKeys({QKeySequence(Qt::Key_Home)}, [this] { showThisWeek(); });
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(chartWindowAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsWindow);
    showThisWeek();
    const QMargins margins = layout->contentsMargins();
    fitWindowToScreen(*this, view_->sizeHint().grownBy(margins) +
                                 QSize(0, buttons->sizeHint().height() + layout->spacing()));
}

void WeekChartWindow::setSavePrompt(SavePrompt prompt)
{
    savePrompt_ = std::move(prompt);
    if (coming_)
        coming_->setSavePrompt(savePrompt_);
}

const WeekChart &WeekChartWindow::chart() const
{
    return view_->chart();
}

void WeekChartWindow::showWeek(const QDate &day)
{
    monday_ = mondayOfWeek(day);
    refresh();
}

void WeekChartWindow::showPreviousWeek()
{
    showWeek(monday_.addDays(-7));
}

void WeekChartWindow::showThisWeek()
{
    showWeek(clock_().date());
}

void WeekChartWindow::showNextWeek()
{
    showWeek(monday_.addDays(7));
}

void WeekChartWindow::showEvent(QShowEvent *event)
{
    refresh();  // the day may have changed since it was last shown
    QWidget::showEvent(event);
}

void WeekChartWindow::refresh()
{
    view_->setChart(buildWeekChart(editor_.snapshot(), monday_, clock_().date()));
    setWindowTitle(QStringLiteral("Vue de la %1[*]").arg(weekCaption(monday_)));  // [*]: modified
}

QString WeekChartWindow::savePng(const QString &path) const
{
    QImage image(kImageSize, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(18);
        painter.setFont(font);
        paintWeekChart(painter, image.rect(), chart());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QStringLiteral("Image non enregistrée : elle n'a pas pu être produite.");
    return writeViewFile(QStringLiteral("Image non enregistrée"), path, bytes);
}

QString WeekChartWindow::savePdf(const QString &path) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Vue de la %1").arg(weekCaption(chart().monday)));
        writer.setCreator(QStringLiteral("platine"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter(&writer);
        if (!painter.isActive())
            return QStringLiteral("PDF non enregistré : il n'a pas pu être produit.");
        QFont font = painter.font();
        font.setPointSize(9);
        painter.setFont(font);
        paintWeekChart(
            painter,
            QRect(QPoint(0, 0), writer.pageLayout().paintRectPixels(kPdfResolution).size()),
            chart());
    }
    return writeViewFile(QStringLiteral("PDF non enregistré"), path, bytes);
}

bool WeekChartWindow::printOn(QPrinter &printer) const
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&printer);
    if (!painter.isActive())
        return false;
    QFont font = painter.font();
    font.setPointSize(9);
    painter.setFont(font);
    paintWeekChart(
        painter,
        QRect(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()),
        chart());
    return true;
}

void WeekChartWindow::showComingSwitchings()
{
    if (!coming_) {
        coming_ = new ComingSwitchingsWindow(editor_, clock_, this);
        coming_->setSavePrompt(savePrompt_);
        connect(coming_, &ComingSwitchingsWindow::message, this, &WeekChartWindow::message);
    }
    coming_->show();
    coming_->raise();
    coming_->activateWindow();
}

void WeekChartWindow::saveAs(bool pdf)
{
    const ViewSave save =
        pdf ? ViewSave{QStringLiteral("Enregistrer la vue de la semaine en PDF"),
                       QStringLiteral("Documents PDF (*.pdf)"), QStringLiteral(".pdf"),
                       [this](const QString &path) { return savePdf(path); },
                       QStringLiteral("Vue de la semaine enregistrée dans %1.")}
            : ViewSave{QStringLiteral("Enregistrer la vue de la semaine en PNG"),
                       QStringLiteral("Images PNG (*.png)"), QStringLiteral(".png"),
                       [this](const QString &path) { return savePng(path); },
                       QStringLiteral("Vue de la semaine enregistrée dans %1.")};
    if (const std::optional<ViewMessage> told = saveView(this, savePrompt_, save))
        emit message(told->text, told->failure);
}

void WeekChartWindow::print()
{
    if (const std::optional<ViewMessage> told = printView(
            this, [this](QPrinter &printer) { return printOn(printer); },
            QStringLiteral("Vue de la semaine envoyée à l'imprimante."),
            QStringLiteral("Vue de la semaine non imprimée : l'imprimante n'a pas pu être "
                           "utilisée.")))
        emit message(told->text, told->failure);
}

}  // namespace platine
