#include "shell/field_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "shell/go_to_line_dialog.h"
#include "shell/hex_key_filter.h"

namespace tarnwick {

QLineEdit* hexInputField(const QString& objectName, int maxLength) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    field->setValidator(new HexKeyFilter(HexKeyFilter::Blanks::Refused, field));
    return field;
}

QLineEdit* decimalInputField(const QString& objectName, int maxLength) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    field->setValidator(new DecimalFieldFilter(static_cast<std::size_t>(maxLength), field));
    return field;
}

QLabel* namedLabel(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    return label;
}

void showFieldText(QLineEdit* field, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (field->text() == shown) return;
    const QSignalBlocker quiet(field);
    field->setText(shown);
}

void showEditedText(QLineEdit* field, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (field->text() == shown) return;
    const QSignalBlocker quiet(field);
    field->setText(shown);
    field->selectAll();
}

}  // namespace tarnwick
