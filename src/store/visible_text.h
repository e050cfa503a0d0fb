#pragma once

#include <QString>
#include <QStringView>

namespace platine {

// Texts typed or read by the user, made fit to be quoted in a message: every character that
// would show as nothing (or move the text around) is written as its code between angle
// brackets, "<U+001B>". That covers the control characters (C0, DEL, C1, tab and line breaks
// included), the format characters (zero-width space, byte order mark, direction marks and
// overrides, soft hyphen), the line and paragraph separators, the blanks other than the plain
// space (no-break space...), unassigned code points and unpaired surrogates.
QString visibleText(QStringView text);

// visibleText() between French quotation marks: "« text »".
QString quotedText(QStringView text);

}  // namespace platine
