#include "project/desktop.h"

#include <charconv>
#include <vector>

namespace tarnwick {
namespace {

struct ConversionError {
    std::string text;
};

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        const std::size_t end = std::min(text.find(' '), text.size());
        result.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return result;
}

int integer(std::string_view word) {
    int value = 0;
    const char* last = word.data() + word.size();
    const auto [end, error] = std::from_chars(word.data(), last, value);
    if (error != std::errc() || end != last)
        throw ConversionError{"'" + std::string(word) + "' is not a valid integer value"};
    return value;
}

WindowPlacement placement(std::string_view text, bool sized) {
    const std::vector<std::string_view> numbers = words(text);
    const std::size_t needed = sized ? 5 : 3;
    if (numbers.size() < needed)
        throw ConversionError{std::to_string(needed) + " numbers needed, " +
                              std::to_string(numbers.size()) + " found"};
    WindowPlacement result;
    result.left = integer(numbers[0]);
    result.top = integer(numbers[1]);
    if (sized) {
        result.height = integer(numbers[2]);
        result.width = integer(numbers[3]);
    }
    const int state = integer(numbers[needed - 1]);
    if (state < 0 || state > 2)
        throw ConversionError{"window state " + std::to_string(state) + " is not 0, 1 or 2"};
    result.state = static_cast<WindowState>(state);
    return result;
}

std::string placementText(const WindowPlacement& p, bool sized) {
    std::string text = std::to_string(p.left) + " " + std::to_string(p.top) + " ";
    if (sized)
        text +=
            std::to_string(p.height.value_or(0)) + " " + std::to_string(p.width.value_or(0)) + " ";
    return text + std::to_string(static_cast<int>(p.state));
}

}  // namespace

DesktopReadResult readDesktop(const IniDocument& document, const std::filesystem::path& file) {
    DesktopReadResult result;
    for (std::size_t i = 0; i < kDesktopWindowCount; ++i) {
        const DesktopWindowKey& entry = kDesktopWindowKeys[i];
        const auto value = document.value(kFormsSection, entry.key);
        const bool isProject = i == static_cast<std::size_t>(DesktopWindow::Project);
        if (value && !(isProject && value->empty())) {
            try {
                result.desktop.windows[i] = placement(*value, entry.sized);
            } catch (const ConversionError& error) {
                result.error = file.string() + ": [" + std::string(kFormsSection) + "] " +
                               std::string(entry.key) + "=" + *value + ": " + error.text;
                return result;
            }
        }
        if (isProject) result.desktop.projectTab = document.value(kFormsSection, kProjectTabKey);
    }
    return result;
}

DesktopReadResult readDesktop(const std::filesystem::path& projectFile) {
    try {
        return readDesktop(readIniFile(projectFile), projectFile);
    } catch (const FileError& error) {
        return {{}, error.what()};
    }
}

void writeDesktop(IniDocument& document, const Desktop& desktop, bool autosave) {
    if (!autosave) {
        document.eraseSection(kFormsSection);
        return;
    }
    document.clearSection(kFormsSection);
    for (std::size_t i = 0; i < kDesktopWindowCount; ++i) {
        const auto& window = desktop.windows[i];
        if (!window) continue;
        document.setValue(kFormsSection, kDesktopWindowKeys[i].key,
                          placementText(*window, kDesktopWindowKeys[i].sized));
        if (i == static_cast<std::size_t>(DesktopWindow::Project) && desktop.projectTab)
            document.setValue(kFormsSection, kProjectTabKey, *desktop.projectTab);
    }
}

void saveDesktop(const std::filesystem::path& projectFile, const Desktop& desktop, bool autosave) {
    IniDocument document = readIniFile(projectFile);
    writeDesktop(document, desktop, autosave);
    writeIniFile(projectFile, document);
}

}  // namespace tarnwick
