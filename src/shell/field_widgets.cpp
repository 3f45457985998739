#include "shell/field_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>

#include "shell/go_to_line_dialog.h"
#include "shell/hex_key_filter.h"

namespace tarnwick {

namespace {

// A field as wide as its longest text and one character more, so that a dialog of many fields
// stays as small as they are.
void fitToLength(QLineEdit* field) {
    const QFontMetrics metrics = field->fontMetrics();
    const QSize text(metrics.horizontalAdvance(QString(field->maxLength() + 1, QLatin1Char('0'))),
                     metrics.height());
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, field)
                                         : 0;
    field->setFixedWidth(
        field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, field).width());
}

}  // namespace

QLineEdit* hexInputField(const QString& objectName, int maxLength) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    field->setValidator(new HexKeyFilter(HexKeyFilter::Blanks::Refused, field));
    fitToLength(field);
    return field;
}

QLineEdit* decimalInputField(const QString& objectName, int maxLength) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    field->setValidator(new DecimalFieldFilter(static_cast<std::size_t>(maxLength), field));
    fitToLength(field);
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
