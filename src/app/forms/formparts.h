#pragma once

#include <QString>

class QAbstractItemView;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// Controls that many forms build the same way. Each carries an object name, by which the
// tests (and a person reading a form's layout) find it.
namespace formparts {

// A push button showing `text`.
QPushButton* button(QWidget* parent, const QString& name, const QString& text);
// The same; with `isDefault` it is the form's default button (Enter presses it), without it
// Enter never presses it, not even while it has the focus.
QPushButton* button(QWidget* parent, const QString& name, const QString& text, bool isDefault);

// A red hint under a field, hidden until the form finds the field empty or wrong.
QLabel* redHint(QWidget* parent, const QString& name, const QString& text = QString());

// A list of the numbers 1..count, the first chosen.
QComboBox* numbers(QWidget* parent, const QString& name, int count);

// A grid or list of records that is read, not edited: whole rows chosen, one at a time, no
// row numbers beside them.
void readOnlyRows(QAbstractItemView* view);

} // namespace formparts
