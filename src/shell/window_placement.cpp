#include "shell/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tarnwick {

namespace {

QMargins frameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Applies the frame rectangle with the frame's margins as they are now, and again when the
// window appears, moves or resizes with other margins (the window manager has framed it).
class FramePlacer : public QObject {
  public:
    explicit FramePlacer(QWidget& window) : QObject(&window), window_(window) {
        setObjectName(QStringLiteral("FramePlacer"));
        window.installEventFilter(this);
        // The window appearing on the screen is an event of its native window.
        window.winId();
        window.windowHandle()->installEventFilter(this);
    }

    void place(const QRect& frame) {
        frame_ = frame;
        apply();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize ||
             type == QEvent::Show) &&
            frameMargins(window_) != applied_)
            apply();
        return QObject::eventFilter(watched, event);
    }

  private:
    void apply() {
        applied_ = frameMargins(window_);
        const int width = frame_.width() - applied_.left() - applied_.right();
        const int height = frame_.height() > 0
                               ? frame_.height() - applied_.top() - applied_.bottom()
                               : window_.height();
        window_.resize(width, height);
        // A window's position is that of its frame.
        window_.move(frame_.topLeft());
    }

    QWidget& window_;
    QRect frame_;
    QMargins applied_;
};

}  // namespace

void placeFrame(QWidget& window, const QRect& frame) {
    QObject* existing =
        window.findChild<QObject*>(QStringLiteral("FramePlacer"), Qt::FindDirectChildrenOnly);
    auto* placer = existing ? static_cast<FramePlacer*>(existing) : new FramePlacer(window);
    placer->place(frame);
}

// A window manager takes a tool window that appears while its owner is not on the screen for
// a window of its own, and keeps it so: once the owner is shown, such a tool window appears
// again, now above it.
class ToolWindowKeeper : public QObject {
  public:
    ToolWindowKeeper(QWidget& window, QWidget& owner) : QObject(&window), window_(window) {
        window.installEventFilter(this);
        owner.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return QObject::eventFilter(watched, event);
        if (watched == &window_) {
            shownWithoutOwner_ = !window_.parentWidget()->isVisible();
        } else if (shownWithoutOwner_) {
            // After the owner's own showing has reached the window manager.
            QTimer::singleShot(0, this, [this] {
                if (!window_.isVisible() || window_.isMinimized()) return;
                const QPoint place = window_.frameGeometry().topLeft();
                window_.hide();
                window_.show();
                // Once shown again: the window manager places a window anew when it appears.
                QTimer::singleShot(0, this, [this, place] { window_.move(place); });
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget& window_;
    bool shownWithoutOwner_ = false;
};

void makeToolWindowOf(QWidget& window, QWidget& owner) {
    Qt::WindowFlags flags = Qt::Tool;
    if (window.layout()) window.layout()->activate();
    if (window.minimumSize() == window.maximumSize())
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    // The owner's native window must exist for the window manager to learn whose tool the
    // window is.
    owner.winId();
    window.setParent(&owner, flags);
    new ToolWindowKeeper(window, owner);
}

namespace {

QRect workArea(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

}  // namespace

QRect centredFrame(const QRect& area, QSize size) {
    QRect frame(QPoint(), size.boundedTo(area.size()));
    frame.moveCenter(area.center());
    return frame;
}

QRect workAreaBelow(const QWidget& top) {
    QRect area = workArea(top);
    if (top.isVisible()) area.setTop(std::max(area.top(), top.frameGeometry().bottom() + 1));
    return area;
}

}  // namespace tarnwick
