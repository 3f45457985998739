#include "project/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

#include "base/file_text.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool holdsLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

bool enclosedInQuotes(std::string_view value) {
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// Quotes keep the blanks at a value's ends, which the reader would trim otherwise; as Windows
// profile readers do, the reader drops one pair of enclosing quotes.
std::string quotedValue(std::string_view value) {
    const bool quote =
        !value.empty() && (blank(value.front()) || blank(value.back()) || enclosedInQuotes(value));
    return quote ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::string_view unquotedValue(std::string_view value) {
    return enclosedInQuotes(value) ? value.substr(1, value.size() - 2) : value;
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

// The file a save replaces: the end of a chain of symbolic links, so that a project reached
// through a link stays a link to the updated file. Nothing for a chain that loops.
std::optional<fs::path> saveTarget(const fs::path& path) {
    constexpr int kMaxLinks = 40;  // the kernel's own limit in a path
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        if (!fs::is_symlink(target, error)) return target;
        const fs::path link = fs::read_symlink(target, error);
        if (error) return std::nullopt;
        target = target.parent_path() / link;
    }
    return std::nullopt;
}

// Hidden, so the Add dialog does not offer a save's temporary file.
std::string temporaryPrefix(const fs::path& target) {
    return "." + target.filename().string() + ".tmp";
}

bool writeAll(int file, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(file, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Temporaries of the same file left by a save that was killed before its rename.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    const fs::path directory = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string_view number =
            std::string_view(name).substr(std::min(prefix.size(), name.size()));
        const bool numbered =
            name.starts_with(prefix) && !number.empty() &&
            std::ranges::all_of(number, [](char c) { return c >= '0' && c <= '9'; });
        std::error_code ignored;
        if (numbered && fs::is_regular_file(it->symlink_status(ignored)))
            fs::remove(it->path(), ignored);
    }
}

}  // namespace

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument document;
    const std::size_t firstEnd = text.find_first_of("\r\n");
    if (firstEnd != std::string_view::npos && !text.substr(firstEnd).starts_with("\r\n"))
        document.lineEnd_ = text.substr(firstEnd, 1);

    std::vector<Line>* lines = &document.preamble_;
    while (!text.empty()) {
        // CRLF, LF and a lone CR each end a line, so that no value read holds a CR.
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(text.substr(end).starts_with("\r\n") ? end + 2
                                                                : std::min(end + 1, text.size()));

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
            line.value = unquotedValue(trimmed(content.substr(equals + 1)));
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

bool IniDocument::savable() const {
    const auto lineSplits = [](const Line& line) { return holdsLineEnd(line.text); };
    return std::ranges::none_of(sections_, [&](const Section& section) {
        return holdsLineEnd(section.header) || std::ranges::any_of(section.lines, lineSplits);
    });
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
    Line line{std::string(key) + "=" + quotedValue(value), std::string(key), std::string(value)};
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
    const std::string failed = "Cannot write the file " + path.string();
    if (!document.savable()) throw FileError(failed + ": a value holds a line end");
    const std::optional<fs::path> target = saveTarget(path);
    if (!target || target->filename().empty()) throw FileError(failed);

    std::error_code error;
    const fs::file_status old = fs::status(*target, error);
    const bool replacing = fs::is_regular_file(old);
    std::random_device random;
    fs::path temporary;
    int file = -1;
    // O_EXCL creates the file, never opens one or a link planted under its name; another name
    // is tried when one is taken. A new project gets the permissions any new file gets.
    for (int attempt = 0; attempt < 8 && file < 0; ++attempt) {
        temporary =
            target->parent_path() / (temporaryPrefix(*target) + std::to_string(random() % 1000000));
        file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      replacing ? 0600 : 0666);
    }
    if (file < 0) throw FileError(failed);

    const mode_t mode = static_cast<mode_t>(old.permissions() & fs::perms::mask);
    // Synced before the rename, so a crash leaves the old file or the whole new one.
    bool written = writeAll(file, document.text()) && (!replacing || ::fchmod(file, mode) == 0) &&
                   ::fsync(file) == 0;
    written = ::close(file) == 0 && written;
    if (written) fs::rename(temporary, *target, error);
    if (!written || error) {
        fs::remove(temporary, error);
        throw FileError(failed);
    }
    removeStaleTemporaries(*target);
}

}  // namespace tarnwick
