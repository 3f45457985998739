#pragma once

#include <QWidget>

namespace tarnwick {

// A window of a debug session (a memory view, a peripheral window) that tells when
// the user closes it, so that its View or SubSystems entry and its Window entry can follow.
class SessionWindow : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;

    // Rereads what the window shows from its model.
    virtual void refresh() = 0;
    // The opening command (View or SubSystems menu, a restored desktop): normal size and
    // shown; a window that refreshes whenever it is shown needs nothing more.
    virtual void showView() { showNormal(); }

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tarnwick
