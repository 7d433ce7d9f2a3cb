#pragma once
// What a screen reader gets from a control, in one line: its role, its name, its states, its
// value and its key binding, e.g. `push button "Convert": focusable, focused, pressed`.

#include <QString>

class QLabel;
class QWidget;

namespace quarbel::gallery {

QString accessibleSummary(QWidget* widget);

// A label showing the widget's summary, kept up to date as the widget repaints.
QLabel* accessibleSummaryLabel(QWidget* widget, QWidget* parent);

}  // namespace quarbel::gallery
