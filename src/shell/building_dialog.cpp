#include "shell/building_dialog.h"

#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "shell/qt_process.h"

namespace tarnwick {
namespace {

constexpr int kPollMilliseconds = 250;
constexpr int kSecondMilliseconds = 1000;

}  // namespace

TBuildDlg::TBuildDlg(AssemblerBuild& build, std::optional<std::filesystem::path> progressFile,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      build_(build),
      progressFile_(std::move(progressFile)),
      buildingText_(new QLabel(this)),
      seconds_(new QLabel(QStringLiteral("0"), this)),
      output_(new QPlainTextEdit(this)),
      pollTimer_(new QTimer(this)),
      secondTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("TBuildDlg"));
    setWindowTitle(QStringLiteral("Building"));
    setModal(true);

    buildingText_->setObjectName(QStringLiteral("LBuild"));
    seconds_->setObjectName(QStringLiteral("LTime"));
    output_->setObjectName(QStringLiteral("BuildOutput"));
    output_->setReadOnly(true);
    output_->setVisible(progressFile_.has_value());
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BuildCancel"));
    connect(cancel, &QPushButton::clicked, this, &TBuildDlg::BuildCancelClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(buildingText_, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Time (second):"), this), 1, 0);
    layout->addWidget(seconds_, 1, 1);
    layout->addWidget(output_, 2, 0, 1, 2);
    layout->addWidget(cancel, 3, 0, 1, 2, Qt::AlignHCenter);

    pollTimer_->setInterval(kPollMilliseconds);
    connect(pollTimer_, &QTimer::timeout, this, &TBuildDlg::pollBuild);
    secondTimer_->setInterval(kSecondMilliseconds);
    connect(secondTimer_, &QTimer::timeout, this, &TBuildDlg::addSecond);
}

void TBuildDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The run starts once per build, after the window had its first chance to paint.
    if (activated_) return;
    activated_ = true;
    QTimer::singleShot(0, this, &TBuildDlg::FormActivate);
}

void TBuildDlg::FormActivate() {
    seconds_->setText(QStringLiteral("0"));
    buildingText_->setText(QString::fromStdString(build_.buildingText()));
    startError_ = build_.startRun();
    if (!startError_.empty()) {
        done(QDialog::Rejected);
        return;
    }
    running_ = true;
    secondTimer_->start();
    pollTimer_->start();
}

void TBuildDlg::pollBuild() {
    const bool ended = build_.poll();
    if (progressFile_) showNewOutput();
    if (!ended) return;
    running_ = false;
    pollTimer_->stop();
    secondTimer_->stop();
    done(QDialog::Accepted);
}

void TBuildDlg::addSecond() {
    build_.addSecond();
    seconds_->setText(QString::fromStdString(build_.secondsText()));
}

// Only what was added since the last look is read: the file grows while the assembler runs.
void TBuildDlg::showNewOutput() {
    QFile file(QString::fromStdString(progressFile_->string()));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(outputShown_)) return;
    const QByteArray added = file.readAll();
    if (added.isEmpty()) return;
    outputShown_ += added.size();
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(outputDecoder_.decode(added));
}

void TBuildDlg::BuildCancelClick() {
    build_.cancel();
}

// Esc must not close the window under a running assembler: it cancels, and the next poll ends
// the run and closes the window.
void TBuildDlg::reject() {
    if (running_)
        BuildCancelClick();
    else
        QDialog::reject();
}

void TBuildDlg::closeEvent(QCloseEvent* event) {
    if (!running_) {
        QDialog::closeEvent(event);
        return;
    }
    BuildCancelClick();
    event->ignore();
}

void buildAssemblerProject(const AssemblerBuildRequest& request, bool modifiedFilesSaved,
                           ProjectUi& ui, const BuildMessageHooks& messages, QWidget* parent) {
    QtProcess process;
    AssemblerBuild build(process);
    const AssemblerBuild::BeginResult begun = build.begin(request, modifiedFilesSaved);
    if (!begun.error.empty()) ui.showError(begun.error);
    if (!begun.showBuildingWindow) return;

    if (messages.hideEditorMessages) messages.hideEditorMessages();
    std::optional<std::filesystem::path> progressFile;
    if (request.options.showProgress)
        progressFile = request.projectPath.parent_path() / kErrorFileName;
    TBuildDlg window(build, progressFile, parent);
    window.exec();
    if (!window.startError().empty()) ui.showError(window.startError());

    if (messages.clearMessages) messages.clearMessages();
    const std::string failure = build.finish([&](const std::filesystem::path& errorFile) {
        if (messages.loadMessages) messages.loadMessages(errorFile);
    });
    if (!failure.empty()) ui.showError(failure);
}

}  // namespace tarnwick
