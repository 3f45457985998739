#include "shell/own_shortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace tarnwick {

namespace {

class OwnShortcuts : public QObject {
  public:
    using QObject::QObject;

  protected:
    // The widget's shortcut override is accepted, so the key comes to it as a key press,
    // which triggers its action.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool overriding = event->type() == QEvent::ShortcutOverride;
        if (!overriding && event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(
            QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        for (QAction* action : static_cast<QWidget*>(watched)->actions()) {
            if (!action->isEnabled() || !action->shortcuts().contains(pressed)) continue;
            if (overriding)
                event->accept();
            else
                action->trigger();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void giveOwnShortcutsPriority(QWidget& widget) {
    const QString name = QStringLiteral("OwnShortcuts");
    if (widget.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
    auto* filter = new OwnShortcuts(&widget);
    filter->setObjectName(name);
    widget.installEventFilter(filter);
}

}  // namespace tarnwick
