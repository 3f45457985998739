#pragma once

#include <QString>
#include <string>

#include "shell/qt_text.h"

class QLabel;
class QLineEdit;

namespace tarnwick {

// The input fields and labels of the register and memory editors. The key filters keep
// typing natural; the editor models then decide the text a field shows.

// A field of hex digits, upper case, at most maxLength of them. Both kinds of field are as
// wide as their longest text.
QLineEdit* hexInputField(const QString& objectName, int maxLength);
// A field of decimal digits, at most maxLength of them.
QLineEdit* decimalInputField(const QString& objectName, int maxLength);

QLabel* namedLabel(const QString& objectName);

// Shows the model's text in a partner field or label's field without reporting it as a
// user's change.
void showFieldText(QLineEdit* field, const std::string& text);
// The field the user edits shows the model's text; a text the model replaced (an emptied
// field turned "0", a clamped number) is selected so that the next key typed replaces it.
void showEditedText(QLineEdit* field, const std::string& text);

}  // namespace tarnwick
