#include "app/help_window.h"

#include "app/manual_page.h"
#include "widgets/screen_fit.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace platine {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    showPage(QStringLiteral("platine"));
    fitWindowToScreen(*this, QSize(760, 900));
}

bool HelpWindow::showPage(const QString &name)
{
    const QString source = manualPageSource(name);
    if (source.isEmpty())
        return false;
    page_ = name;
    browser_->setHtml(manualPageToHtml(source));
    setWindowTitle(QStringLiteral("Aide — %1(1)").arg(name));
    return true;
}

void HelpWindow::follow(const QUrl &link)
{
    // "platine-cli.1": another page of the tool; others (adduser.8) are not built in.
    const QString target = link.toString();
    const qsizetype dot = target.lastIndexOf(u'.');
    if (dot > 0)
        showPage(target.left(dot));
}

HelpWindow *showHelpWindow(QWidget *parent)
{
    auto *window = parent->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(parent);
    window->showPage(QStringLiteral("platine"));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace platine
