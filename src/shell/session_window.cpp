#include "shell/session_window.h"

#include <QCloseEvent>

namespace tarnwick {

void SessionWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace tarnwick
