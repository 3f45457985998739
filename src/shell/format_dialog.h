#pragma once

#include <QDialog>

#include "project/project.h"

class QButtonGroup;

namespace tarnwick {

// "Project Format": the format of a new project, the first item selected each time.
class TFormatDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TFormatDlg(QWidget* parent = nullptr);

    // The checked item; meaningful after OK.
    ProjectFormat format() const;

  public slots:
    void OKBtnClick();

  private:
    QButtonGroup* formats_;
};

}  // namespace tarnwick
