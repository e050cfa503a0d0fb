#pragma once

#include <QString>

namespace platine {

// Turns a manual page written with the man macros (the pages of docs/man) into HTML for the
// help window: headings, paragraphs, tagged paragraphs, indented blocks, bold and italic, the
// usual escapes. A reference such as "platine-cli(1)" becomes a link to "platine-cli.1".
// Requests it does not know are left out; their text is kept.
QString manualPageToHtml(const QString &page);

// The source of a manual page built into the program ("platine", "platine-cli",
// "platine-sim"), filled in as the installed one; empty when there is none by that name.
QString manualPageSource(const QString &name);

}  // namespace platine
