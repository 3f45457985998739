#include "shell/register_panel_widget.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// The fields beside each caption, left to right.
struct PanelGroup {
    std::size_t caption;  // index into kPanelCaptions
    std::vector<PanelField> fields;
};

const std::vector<PanelGroup>& panelGroups() {
    using F = PanelField;
    static const std::vector<PanelGroup> groups = {
        {0, {F::PC}},
        {1, {F::SP}},
        {2, {F::IX, F::IXDec}},
        {3, {F::IY, F::IYDec}},
        {4, {F::D, F::DDec}},
        {5, {F::AHex, F::ADec, F::AChar, F::ABin}},
        {6, {F::BHex, F::BDec, F::BChar, F::BBin}},
        {7,
         {F::CcrS, F::CcrX, F::CcrH, F::CcrI, F::CcrN, F::CcrZ, F::CcrV, F::CcrC, F::Ccr1S,
          F::Ccr1X, F::Ccr1H, F::Ccr1I, F::Ccr1N, F::Ccr1Z, F::Ccr1V, F::Ccr1C}},
    };
    return groups;
}

const char* kRegisterProperty = "panelRegister";

}  // namespace

RegisterPanelWidget::RegisterPanelWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);
    for (const PanelGroup& group : panelGroups()) {
        const PanelCaption& caption = kPanelCaptions[group.caption];
        QLabel* captionLabel = addCaption(caption);
        layout->addWidget(captionLabel);
        for (const PanelField field : group.fields) {
            QLabel* fieldLabel = addField(field);
            fieldLabel->setToolTip(captionLabel->toolTip());
            layout->addWidget(fieldLabel);
        }
        layout->addSpacing(8);
    }
    layout->addStretch();
    show(RegisterPanel());
}

QLabel* RegisterPanelWidget::addCaption(const PanelCaption& caption) {
    auto* label = new QLabel(QString::fromUtf8(caption.text.data(), caption.text.size()), this);
    label->setToolTip(QString::fromUtf8(caption.hint.data(), caption.hint.size()));
    if (caption.designates) {
        label->setProperty(kRegisterProperty, static_cast<int>(*caption.designates));
        label->installEventFilter(this);
        label->setCursor(Qt::PointingHandCursor);
    }
    return label;
}

QLabel* RegisterPanelWidget::addField(PanelField field) {
    auto* label = new QLabel(this);
    const std::string_view name = panelFieldName(field);
    label->setObjectName(QString::fromUtf8(name.data(), name.size()));
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setAutoFillBackground(isFlagField(field));
    if (const auto designated = clickedRegister(field)) {
        label->setProperty(kRegisterProperty, static_cast<int>(*designated));
        label->installEventFilter(this);
        label->setCursor(Qt::PointingHandCursor);
    }
    labels_[static_cast<std::size_t>(field)] = label;
    return label;
}

void RegisterPanelWidget::show(const RegisterPanel& panel) {
    for (std::size_t i = 0; i < kPanelFieldCount; ++i) {
        const auto field = static_cast<PanelField>(i);
        const PanelFieldView& view = panel.field(field);
        QLabel* label = labels_[i];
        label->setText(byteText(view.text));
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, view.changed ? Qt::red : Qt::black);
        if (isFlagField(field) && view.changed) colours.setColor(QPalette::Window, Qt::white);
        label->setPalette(colours);
    }
}

bool RegisterPanelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && registerClicked) {
        const QVariant designated = watched->property(kRegisterProperty);
        if (designated.isValid()) {
            registerClicked(static_cast<PanelRegister>(designated.toInt()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
