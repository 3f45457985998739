#pragma once

#include <deque>
#include <utility>
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
    std::vector<QString> openDirectories;  // where each open dialog started
    std::deque<QString> saveNames;         // cancelled once the script has run out
    QString saveFilter;  // the filter chosen with the name; the offered one if empty
    std::vector<std::pair<QString, QString>> saveOffers;  // suggestion and filter offered

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
    QStringList chooseFilesToOpen(const QString& directory) override {
        openDirectories.push_back(directory);
        return filesToOpen;
    }
    SaveChoice chooseSaveName(const QString& suggestion, const QString& filter) override {
        saveOffers.emplace_back(suggestion, filter);
        if (saveNames.empty()) return {};
        const QString name = saveNames.front();
        saveNames.pop_front();
        return {name, saveFilter.isEmpty() ? filter : saveFilter};
    }
};

}  // namespace tarnwick::testing
