#pragma once

// Shared by the editor window's two source files, editor_window.cpp and editor_files.cpp.

#include <QString>
#include <filesystem>
#include <system_error>

namespace tarnwick {

// Pages are found by the absolute, normalised form of their file's name.
inline std::filesystem::path normalized(const std::filesystem::path& file) {
    if (file.empty()) return {};
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return (error ? file : absolute).lexically_normal();
}

// Shown when the window, or a page a debug session holds, is asked to close.
inline const QString kSessionInProgressText =
    QStringLiteral("Debug session in progress - Debug|Stop");

}  // namespace tarnwick
