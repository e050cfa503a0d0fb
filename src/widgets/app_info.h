#pragma once

#include <QString>

namespace platine {

// Fixed texts of the application: window captions and credits.
QString mainWindowCaption();
QString splashWindowCaption();
QString aboutBoxTitle();
QString aboutBoxMessage();
QString creditLabelText();
// The author's credit alone (the splash window's credit line).
QString authorCredit();

}  // namespace platine
