#pragma once

#include <functional>

class QLineEdit;

namespace platine {

// Marks a field the user must correct: it gets the focus, its text is selected and its
// background turns light red until its text changes.
// onEdited, when given, runs once when that change comes.
void markInvalidField(QLineEdit *field, std::function<void()> onEdited = {});

// Whether a field currently carries that mark.
bool isMarkedInvalid(const QLineEdit *field);

// Shows a field's text as live (the usual colour) or as no longer live (greyed), for text that
// comes from the board while the port is open.
void showTextAsLive(QLineEdit *field, bool live);

}  // namespace platine
