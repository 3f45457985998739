#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A file that cannot be read or written; the message names the file and the cause.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The text of an INI-style profile file: "[Section]" headers and "key=value" lines.
//
// Section and key names are compared without regard to ASCII letter case, as Windows
// profile files compare them, so a project file edited by hand with "[cpu]" or "xtal=" still
// reads. Names keep their inner spaces and slashes ("Over/Mem"); spaces around names and
// values are dropped. When a section or key occurs twice, the first one counts.
//
// Every line that is not a header or a key (comments, blank lines, junk) is kept where it
// was, and so are sections and keys nobody asked about: only the lines a writer changes are
// rewritten. CRLF, LF and a lone CR each end a line, so no name or value read holds a CR or
// an LF; lines are written with the end of the file's first line (CRLF for a new file).
//
// A value with blanks at either end, or one that starts and ends with a double quote, is
// written in double quotes; the reader drops one pair of enclosing quotes, as Windows profile
// readers do, so such values read back as they were set.
class IniDocument {
  public:
    static IniDocument parse(std::string_view text);
    std::string text() const;

    bool hasSection(std::string_view section) const;
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Keys in file order, as spelt in the file.
    std::vector<std::string> keys(std::string_view section) const;

    // Changes the key in place, or adds it after the section's last key; the section is
    // added at the end when missing.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // False when a section, key or value set holds a CR or LF, which would split its line.
    bool savable() const;
    // Drops the header and every line up to the next header.
    void eraseSection(std::string_view section);
    // Drops the lines of the section but keeps its header where it stands, so a section
    // rewritten as a whole keeps its place in the file; adds the section when missing.
    void clearSection(std::string_view section);

  private:
    struct Line {
        std::string text;  // as read, or as the writer formed it
        std::string key;   // empty for lines that are not keys
        std::string value;
    };
    struct Section {
        std::string name;
        std::string header;
        std::vector<Line> lines;
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);

    std::vector<Line> preamble_;  // lines before the first header
    std::vector<Section> sections_;
    std::string lineEnd_ = "\r\n";
};

// Whole-file access. A missing file reads as an empty document.
IniDocument readIniFile(const std::filesystem::path& path);

// Writes a temporary file beside the file and renames it over it, so the file is either the
// old one or the complete new one. A symbolic link at `path` is followed and stays; the file
// keeps its permission bits. Temporaries of the file that a killed save left behind go at the
// next successful save. Throws FileError, writing nothing for a document that is not
// savable; no temporary is left.
void writeIniFile(const std::filesystem::path& path, const IniDocument& document);

}  // namespace tarnwick
