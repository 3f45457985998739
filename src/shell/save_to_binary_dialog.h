#pragma once

#include <QDialog>
#include <cstddef>
#include <optional>

#include "project/s19_build.h"

class QButtonGroup;

namespace tarnwick {

// "Save to BINary": which EPROM the image is written for, one of kEpromChoices.
class TS19BINDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TS19BINDlg(QWidget* parent = nullptr);

    // The index into kEpromChoices confirmed with OK; none until then.
    std::optional<std::size_t> choice() const { return choice_; }

  public slots:
    // Selects the first EPROM, each time the dialog is shown.
    void FormShow();
    void OKBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QButtonGroup* start_;
    std::optional<std::size_t> choice_;
};

// The dialog step of Project|Save to BINary: runs the dialog modally and answers the chosen
// index, or nullopt for Cancel.
EpromDialog epromDialog(QWidget* parent);

}  // namespace tarnwick
