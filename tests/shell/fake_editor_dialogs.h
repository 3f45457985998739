#pragma once

#include <deque>
#include <vector>

#include "shell/editor_dialogs.h"

namespace tarnwick::testing {

// Answers the editor window's questions from scripts and records the errors it reports.
class FakeEditorDialogs : public EditorDialogs {
  public:
    std::deque<SaveAnswer> saveAnswers;  // Cancel once the script has run out
    std::vector<QString> saveQuestions;
    std::vector<QString> errors;
    std::deque<bool> reloadAnswers;  // No once the script has run out
    std::vector<QString> reloadQuestions;
    QStringList filesToOpen;
    std::deque<QString> saveNames;  // cancelled once the script has run out

    SaveAnswer askSaveChanges(const QString& pageName) override {
        saveQuestions.push_back(pageName);
        if (saveAnswers.empty()) return SaveAnswer::Cancel;
        const SaveAnswer answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    void showError(const QString& text) override { errors.push_back(text); }
    bool askReload(const QString& pageName) override {
        reloadQuestions.push_back(pageName);
        if (reloadAnswers.empty()) return false;
        const bool answer = reloadAnswers.front();
        reloadAnswers.pop_front();
        return answer;
    }
    QStringList chooseFilesToOpen() override { return filesToOpen; }
    QString chooseSaveName(const QString&) override {
        if (saveNames.empty()) return {};
        const QString name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
};

}  // namespace tarnwick::testing
