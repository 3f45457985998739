#include "shell/assembler_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

// On Windows the assembler is an .exe; elsewhere any file may be it, and the dialog lists
// folders and files alike (whether the chosen one can run is checked afterwards).
QString chooseAssemblerFile(QWidget* parent, const QString& current) {
    const QString folder = current.isEmpty() ? QDir::homePath() : QFileInfo(current).path();
    QFileDialog dialog(parent, QStringLiteral("ASM11.EXE"), folder);
#ifdef Q_OS_WIN
    dialog.setNameFilter(QStringLiteral("Exe file (*.exe)"));
#else
    dialog.setNameFilter(QStringLiteral("Any file (*)"));
#endif
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void showAssemblerError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Assembler"), text);
}

}  // namespace

QString bundledAssemblerPath(const QString& programDirectory) {
    const QFileInfo assembler(QDir(programDirectory).filePath(QStringLiteral("asm11")));
    return assembler.isFile() && assembler.isExecutable() ? assembler.absoluteFilePath()
                                                          : QString();
}

QString assemblerAtStart(const QString& remembered, const QString& programDirectory) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isFile()) return remembered;
    const QString bundled = bundledAssemblerPath(programDirectory);
    return bundled.isEmpty() ? remembered : bundled;
}

TASMCDlg::TASMCDlg(Settings& settings, SettingsStore& store, const QString& programDirectory,
                   QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      store_(store),
      pages_(new QTabWidget(this)),
      path_(new QLabel(this)),
      chooseFile_(chooseAssemblerFile),
      showError_(showAssemblerError) {
    setObjectName(QStringLiteral("TASMCDlg"));
    setWindowTitle(QStringLiteral("Assembler"));

    auto* asm11Page = new QWidget;
    auto* chooseButton = new QPushButton(QStringLiteral("ASM11.EXE"), asm11Page);
    chooseButton->setObjectName(QStringLiteral("ASM11Btn"));
    connect(chooseButton, &QPushButton::clicked, this, &TASMCDlg::ASM11BtnClick);
    path_->setObjectName(QStringLiteral("LASM11"));
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QString configured = QString::fromStdString(settings_.assemblerPath);
    path_->setText(configured.isEmpty() ? bundledAssemblerPath(programDirectory) : configured);
    auto* asm11Layout = new QVBoxLayout(asm11Page);
    asm11Layout->addWidget(chooseButton, 0, Qt::AlignLeft);
    asm11Layout->addWidget(path_);
    asm11Layout->addStretch();
    pages_->addTab(asm11Page, QStringLiteral("ASM11"));
    pages_->addTab(new QWidget, QStringLiteral("Reserved"));
    pages_->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TASMCDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
}

QString TASMCDlg::shownPath() const {
    return path_->text();
}

void TASMCDlg::ASM11BtnClick() {
    const QString chosen = chooseFile_(this, path_->text());
    const QFileInfo file(chosen);
    if (chosen.isEmpty() || !file.isFile()) return;
    if (!file.isExecutable()) {
        showError_(this, QStringLiteral("%1 is not a program that can be run. Choose the "
                                        "assembler itself, or make the file executable.")
                             .arg(chosen));
        return;
    }
    path_->setText(chosen);
}

void TASMCDlg::OKBtnClick() {
    settings_.assemblerPath = path_->text().toStdString();
    store_.writeString(kAssemblerPathKey, settings_.assemblerPath);
    accept();
}

}  // namespace tarnwick
