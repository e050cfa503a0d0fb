#pragma once

#include <QWidget>

class QTextBrowser;

namespace platine {

// "Aide": the manual pages in a window of their own, the tool's page first. The references to
// the other pages of the tool ("platine-cli(1)") lead to them.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the page called name ("platine", "platine-cli"); false, and the page shown stays,
    // when the program has no such page.
    bool showPage(const QString &name);
    // The page shown.
    QString page() const { return page_; }
    QTextBrowser *browser() const { return browser_; }

private:
    void follow(const QUrl &link);

    QTextBrowser *browser_ = nullptr;
    QString page_;
};

// Shows parent's help window with the tool's page, creating it the first time.
HelpWindow *showHelpWindow(QWidget *parent);

}  // namespace platine
