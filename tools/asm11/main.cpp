// asm11: assembles a 68HC11 source into the S19 image and symbol file the IDE debugs from.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/options.h"
#include "asm11/output_files.h"
#include "core/file_text.h"

namespace tarnwick::asm11 {
namespace {

enum ExitStatus : int { kClean = 0, kBadCommandLine = 1, kErrors = 2, kWarningsOnly = 3 };

namespace fs = std::filesystem;

bool writeText(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

// Problems with the files themselves, reported in the message format against line 0.
void fileError(const std::string& source, const std::string& text) {
    std::cout << messageLine({Message::Kind::Error, source, 0, text}) << '\n';
}

// -E: beside each source with errors or warnings, name.err holds its messages; the main
// source's stale one goes when it has none.
int writeErrorFiles(const std::string& source, const std::vector<Message>& messages,
                    bool alternative) {
    std::map<std::string, std::string> texts;
    for (const Message& message : messages)
        if (message.kind != Message::Kind::Note)
            texts[message.file] += messageLine(message, alternative) + "\n";
    std::error_code ignored;
    if (!texts.contains(source)) fs::remove(fs::path(source).replace_extension(".err"), ignored);
    int failures = 0;
    for (const auto& [file, text] : texts) {
        const fs::path path = fs::path(file).replace_extension(".err");
        if (!writeText(path, text)) {
            fileError(source, "Cannot write " + path.string());
            ++failures;
        }
    }
    return failures;
}

int run(int argc, const char* const* argv) {
    const ParsedAsmOptions parsed = parseAsmOptions(argc, argv);
    if (!parsed.ok()) {
        std::cerr << "asm11: " << parsed.error << '\n';
        return kBadCommandLine;
    }
    const AsmOptions& options = parsed.options;
    if (options.help) {
        std::cout << usageText();
        return kClean;
    }
    const std::string& source = options.sourcePath;
    // The outputs go beside the source with these extensions: one of them would overwrite it.
    std::string extension = fs::path(source).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* output : {".s19", ".sym", ".lst", ".map", ".err"}) {
        if (extension == output) {
            std::cerr << "asm11: " << source << ": a source named " << output
                      << " would be overwritten by an output of the same name\n";
            return kBadCommandLine;
        }
    }
    const std::optional<std::string> text = readFileText(source);
    if (!text) {
        fileError(source, "Cannot read source file " + source);
        std::cout << "asm11: " << source << ": 1 error\n";
        return kErrors;
    }

    const AssemblyResult result = assemble(source, *text, options);
    for (const Message& message : result.messages)
        std::cout << messageLine(message, options.otherMessages) << '\n';
    int errors = result.errors;
    if (options.errorFile)
        errors += writeErrorFiles(source, result.messages, options.otherMessages);

    fs::path s19Path = source;
    s19Path.replace_extension(".s19");
    fs::path symPath = source;
    symPath.replace_extension(".sym");
    std::error_code ignored;
    if (errors > 0) {
        // A stale image from an earlier build must not be debugged as if it were this one.
        fs::remove(s19Path, ignored);
        fs::remove(symPath, ignored);
    } else {
        const std::string header = options.s0Header ? fs::path(source).stem().string() : "";
        if (options.s19File && !writeText(s19Path, s19Text(result, header))) {
            fileError(source, "Cannot write " + s19Path.string());
            ++errors;
        }
        if (options.symbolFile && !writeText(symPath, symbolFileText(result))) {
            fileError(source, "Cannot write " + symPath.string());
            ++errors;
        }
    }
    // The listing and the map help to find the errors, so they are written regardless.
    const auto writeBeside = [&](const char* extension, const std::string& content) {
        fs::path path = source;
        path.replace_extension(extension);
        if (!writeText(path, content)) {
            fileError(source, "Cannot write " + path.string());
            ++errors;
        }
    };
    if (options.listing && !result.stoppedAfterPass1) writeBeside(".lst", listingText(result));
    if (options.map && !result.stoppedAfterPass1) writeBeside(".map", mapText(result));
    // A listing or map of an earlier build would stand for this one.
    if (result.stoppedAfterPass1) {
        for (const char* extension : {".lst", ".map"})
            fs::remove(fs::path(source).replace_extension(extension), ignored);
    }

    std::cout << "asm11: " << source << ": " << errors << (errors == 1 ? " error, " : " errors, ")
              << result.warnings << (result.warnings == 1 ? " warning" : " warnings");
    if (result.stoppedAfterPass1)
        std::cout << ", stopped after pass 1";
    else if (errors == 0)
        std::cout << ", " << result.byteCount << " bytes";
    std::cout << '\n';
    if (errors > 0) return kErrors;
    return result.warnings > 0 ? kWarningsOnly : kClean;
}

}  // namespace
}  // namespace tarnwick::asm11

int main(int argc, char** argv) {
    return tarnwick::asm11::run(argc, argv);
}
