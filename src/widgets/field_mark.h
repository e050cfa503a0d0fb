#pragma once

class QLineEdit;

namespace platine {

// Marks a field the user must correct: it gets the focus, its text is selected and its
// background turns light red until its text changes.
void markInvalidField(QLineEdit *field);

// Whether a field currently carries that mark.
bool isMarkedInvalid(const QLineEdit *field);

}  // namespace platine
