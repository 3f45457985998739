#include "project/ini_file.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <system_error>
#include <utility>

#include "core/file_text.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::string> headerName(std::string_view line) {
    line = trimmed(line);
    const std::size_t close = line.find(']');
    if (!line.starts_with('[') || close == std::string_view::npos) return std::nullopt;
    return std::string(trimmed(line.substr(1, close - 1)));
}

}  // namespace

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument document;
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd != std::string_view::npos && (firstEnd == 0 || text[firstEnd - 1] != '\r'))
        document.lineEnd_ = "\n";

    std::vector<Line>* lines = &document.preamble_;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (raw.ends_with('\r')) raw.remove_suffix(1);

        if (auto name = headerName(raw)) {
            document.sections_.push_back({std::move(*name), std::string(raw), {}});
            lines = &document.sections_.back().lines;
            continue;
        }
        Line line{std::string(raw), {}, {}};
        const std::string_view content = trimmed(raw);
        const std::size_t equals = content.find('=');
        const bool comment = content.starts_with(';') || content.starts_with('#');
        if (!comment && equals != std::string_view::npos && equals > 0) {
            line.key = trimmed(content.substr(0, equals));
            line.value = trimmed(content.substr(equals + 1));
        }
        lines->push_back(std::move(line));
    }
    return document;
}

std::string IniDocument::text() const {
    std::string result;
    for (const Line& line : preamble_) result += line.text + lineEnd_;
    for (const Section& section : sections_) {
        result += section.header + lineEnd_;
        for (const Line& line : section.lines) result += line.text + lineEnd_;
    }
    return result;
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    const auto found =
        std::ranges::find_if(sections_, [&](const Section& s) { return sameName(s.name, name); });
    return found == sections_.end() ? nullptr : &*found;
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const Section* found = findSection(section);
    if (!found) return std::nullopt;
    for (const Line& line : found->lines)
        if (!line.key.empty() && sameName(line.key, key)) return line.value;
    return std::nullopt;
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> result;
    if (const Section* found = findSection(section))
        for (const Line& line : found->lines)
            if (!line.key.empty()) result.push_back(line.key);
    return result;
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = findSection(section);
    if (!target) {
        sections_.push_back({std::string(section), "[" + std::string(section) + "]", {}});
        target = &sections_.back();
    }
    Line line{std::string(key) + "=" + std::string(value), std::string(key), std::string(value)};
    auto lastKey = target->lines.end();
    for (auto it = target->lines.begin(); it != target->lines.end(); ++it) {
        if (it->key.empty()) continue;
        if (sameName(it->key, key)) {
            *it = std::move(line);
            return;
        }
        lastKey = it;
    }
    // After the last key, so blank lines and comments that end the section stay at its end.
    const auto at = lastKey == target->lines.end() ? target->lines.begin() : std::next(lastKey);
    target->lines.insert(at, std::move(line));
}

void IniDocument::eraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return sameName(s.name, section); });
}

void IniDocument::clearSection(std::string_view section) {
    if (Section* found = findSection(section)) {
        found->lines.clear();
        std::erase_if(sections_,
                      [&](const Section& s) { return &s != found && sameName(s.name, section); });
    } else {
        sections_.push_back({std::string(section), "[" + std::string(section) + "]", {}});
    }
}

IniDocument readIniFile(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return {};
    const std::optional<std::string> text = readFileText(path);
    if (!text) throw FileError("Cannot read the file " + path.string());
    return IniDocument::parse(*text);
}

void writeIniFile(const fs::path& path, const IniDocument& document) {
    const fs::path temporary =
        path.parent_path() /
        (path.filename().string() + ".tmp" + std::to_string(std::random_device()() % 1000000));
    const std::string text = document.text();
    bool written = false;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        written = file && file.write(text.data(), static_cast<std::streamsize>(text.size())) &&
                  file.flush();
        file.close();
        written = written && !file.fail();
    }
    std::error_code error;
    if (written) fs::rename(temporary, path, error);
    if (!written || error) {
        fs::remove(temporary, error);
        throw FileError("Cannot write the file " + path.string());
    }
}

}  // namespace tarnwick
