#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "project/temp_directory.h"
#include "shell/editor_window.h"
#include "shell/fake_editor_dialogs.h"

namespace tarnwick::testing {

// An editor window whose questions the test answers, and a directory for its files.
class EditorWindowTest : public ::testing::Test {
  protected:
    EditorWindowTest() {
        auto owned = std::make_unique<FakeEditorDialogs>();
        dialogs = owned.get();
        editor = std::make_unique<TEditor>(std::move(owned));
        editor->resize(700, 500);
    }

    std::filesystem::path writeFile(const std::string& name, const std::string& text) {
        const std::filesystem::path file = directory / name;
        writeText(file, text);
        return file;
    }

    TempDirectory directory;
    FakeEditorDialogs* dialogs = nullptr;
    std::unique_ptr<TEditor> editor;
};

}  // namespace tarnwick::testing
