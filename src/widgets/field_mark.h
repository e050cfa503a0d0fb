#pragma once

#include <QColor>
#include <functional>

class QLineEdit;
class QWidget;
class QString;

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
// Marks a field the board will receive as typed but whose value looks wrong (an hour 25, a date
// already past): an amber background and the remark as tooltip. An empty remark removes the
// mark. A field that carries the mark above keeps its light red until its text changes.
// A list that takes no typed text carries the mark on its button.
void setRemarkMark(QWidget *field, const QString &remark);

// The remark a field currently shows, empty when it has none.
QString remarkMark(const QWidget *field);

// The background of each mark, for drawings that repeat them.
QColor invalidMarkColour();
QColor remarkMarkColour();

}  // namespace platine
