#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "debugger/source_editor.h"

namespace tarnwick::testing {

// An editor that reads files from disk into pages and keeps markers, styles, the caret and
// the status panels as plain data for the tests to inspect.
class FakeSourceEditor : public SourceEditor {
  public:
    struct Page {
        std::vector<std::string> lines;
        std::vector<MarkerBits> markers;
        std::vector<LineStyle> styles;
        bool readOnly = false;
        bool modified = false;  // changes not saved
        int caret = 0;
    };

    std::map<std::filesystem::path, Page> pages;
    std::vector<std::filesystem::path> pageOrder;
    std::optional<std::filesystem::path> active;
    bool window = false;
    bool maximized = false;
    int broughtToFront = 0;
    std::array<std::string, 6> statusPanels;
    std::vector<std::string> messagePanel;
    bool messagePanelShown = false;
    std::optional<std::size_t> selectedMessage;
    int centredLine = -1;  // the last line centreLine was asked for

    // Opens a page with the given text instead of a file's.
    void addPage(const std::filesystem::path& file, std::vector<std::string> lines) {
        Page page;
        page.markers.assign(lines.size(), 0);
        page.styles.assign(lines.size(), LineStyle::Whitespace);
        page.lines = std::move(lines);
        if (!pages.count(file)) pageOrder.push_back(file);
        pages[file] = std::move(page);
        active = file;
        window = true;
    }
    Page& page(const std::filesystem::path& file) { return pages.at(file); }
    MarkerBits markersAt(const std::filesystem::path& file, int line) const {
        return markers(file, line);
    }
    // The 0-based lines of a page that carry all the given marker bits.
    std::vector<int> linesWith(const std::filesystem::path& file, MarkerBits bits) const {
        std::vector<int> result;
        const auto found = pages.find(file);
        if (found == pages.end()) return result;
        for (std::size_t i = 0; i < found->second.markers.size(); ++i)
            if ((found->second.markers[i] & bits) == bits) result.push_back(static_cast<int>(i));
        return result;
    }

    bool windowExists() const override { return window; }
    bool open(const std::filesystem::path& file) override {
        if (!pages.count(file)) {
            std::ifstream in(file);
            if (!in) return false;
            std::vector<std::string> lines;
            for (std::string line; std::getline(in, line);) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines.push_back(line);
            }
            addPage(file, std::move(lines));
        }
        active = file;
        window = true;
        return true;
    }
    bool isOpen(const std::filesystem::path& file) const override { return pages.count(file); }
    bool isModified(const std::filesystem::path& file) const override {
        const auto found = pages.find(file);
        return found != pages.end() && found->second.modified;
    }
    std::optional<std::filesystem::path> activeFile() const override { return active; }
    std::vector<std::filesystem::path> openFiles() const override { return pageOrder; }
    void closeAll() override {
        pages.clear();
        pageOrder.clear();
        active.reset();
    }
    void bringToFront() override { ++broughtToFront; }
    void maximize() override { maximized = true; }
    void setReadOnly(const std::filesystem::path& file, bool readOnly) override {
        if (auto* p = find(file)) p->readOnly = readOnly;
    }

    int lineCount(const std::filesystem::path& file) const override {
        const auto found = pages.find(file);
        return found == pages.end() ? 0 : static_cast<int>(found->second.lines.size());
    }
    std::string lineText(const std::filesystem::path& file, int line) const override {
        const auto found = pages.find(file);
        if (found == pages.end() || !inside(found->second, line)) return {};
        return found->second.lines[line];
    }
    MarkerBits markers(const std::filesystem::path& file, int line) const override {
        const auto found = pages.find(file);
        if (found == pages.end() || !inside(found->second, line)) return 0;
        return found->second.markers[line];
    }
    void setMarkers(const std::filesystem::path& file, int line, MarkerBits bits) override {
        if (auto* p = find(file); p && inside(*p, line)) p->markers[line] = bits;
    }
    LineStyle lineStyle(const std::filesystem::path& file, int line) const override {
        const auto found = pages.find(file);
        if (found == pages.end() || !inside(found->second, line)) return LineStyle::Whitespace;
        return found->second.styles[line];
    }
    void setLineStyle(const std::filesystem::path& file, int line, LineStyle style) override {
        if (auto* p = find(file); p && inside(*p, line)) p->styles[line] = style;
    }

    int caretLine() const override { return active ? pages.at(*active).caret : -1; }
    void moveCaret(int line) override {
        if (active) pages.at(*active).caret = line;
    }
    void centreLine(int line) override {
        moveCaret(line);
        centredLine = line;
    }

    void setStatusText(int panel, std::string_view text) override {
        if (window && panel >= 0 && panel < 6) statusPanels[panel] = std::string(text);
    }
    void showMessagePanel(const std::vector<std::string>& lines) override {
        messagePanel = lines;
        messagePanelShown = true;
    }
    void hideMessagePanel() override { messagePanelShown = false; }
    void selectMessage(std::size_t line) override { selectedMessage = line; }

  private:
    static bool inside(const Page& page, int line) {
        return line >= 0 && line < static_cast<int>(page.lines.size());
    }
    Page* find(const std::filesystem::path& file) {
        const auto found = pages.find(file);
        return found == pages.end() ? nullptr : &found->second;
    }
};

}  // namespace tarnwick::testing
