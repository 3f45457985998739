// asm11: assembles a 68HC11 source into the S19 image and symbol file the IDE debugs from.

#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/options.h"
#include "asm11/output_files.h"
#include "asm11/source_files.h"
#include "base/file_text.h"

namespace tarnwick::asm11 {
namespace {

enum ExitStatus : int { kClean = 0, kBadCommandLine = 1, kErrors = 2, kWarningsOnly = 3 };

namespace fs = std::filesystem;

// Problems with the files themselves, reported in the message format against line 0.
void fileError(const std::string& source, const std::string& text) {
    std::cout << messageLine({Message::Kind::Error, source, 0, text}) << '\n';
}

// Every output goes through here: written whole or not at all, replacing rather than
// following a link of its name. A failure is reported against the source.
bool writeOutput(const std::string& source, const fs::path& path, const std::string& text) {
    if (writeFileReplacing(path, text)) return true;
    fileError(source, "Cannot write " + path.string());
    return false;
}

fs::path beside(const std::string& file, const char* extension) {
    return fs::path(file).replace_extension(extension);
}

// Errors and warnings go into the -E files; hints and notes only to the output.
bool isProblem(const Message& message) {
    return message.kind == Message::Kind::Error || message.kind == Message::Kind::Warning;
}

// The files this run may write or remove as stale, whatever the errors turn out to be.
std::vector<std::string> outputPaths(const std::string& source, const AssemblyResult& result,
                                     const AsmOptions& options) {
    std::vector<std::string> paths{beside(source, ".s19").string(),
                                   beside(source, ".sym").string()};
    if (options.listing || result.stoppedAfterPass1)
        paths.push_back(beside(source, ".lst").string());
    if (options.map || result.stoppedAfterPass1) paths.push_back(beside(source, ".map").string());
    if (options.exportFile) paths.push_back(beside(source, ".exp").string());
    if (options.errorFile) {
        paths.push_back(beside(source, ".err").string());
        for (const Message& message : result.messages)
            if (isProblem(message)) paths.push_back(beside(message.file, ".err").string());
    }
    return paths;
}

// -E: beside each source with errors or warnings, name.err holds its messages; the main
// source's stale one goes when it has none.
int writeErrorFiles(const std::string& source, const std::vector<Message>& messages,
                    bool alternative) {
    std::map<std::string, std::string> texts;
    for (const Message& message : messages)
        if (isProblem(message)) texts[message.file] += messageLine(message, alternative) + "\n";
    std::error_code ignored;
    if (!texts.contains(source)) fs::remove(beside(source, ".err"), ignored);
    int failures = 0;
    for (const auto& [file, text] : texts)
        if (!writeOutput(source, beside(file, ".err"), text)) ++failures;
    return failures;
}

void printSummary(const std::string& source, const AssemblyResult& result, int errors) {
    std::cout << "asm11: " << source << ": " << errors << (errors == 1 ? " error, " : " errors, ")
              << result.warnings << (result.warnings == 1 ? " warning" : " warnings");
    if (result.stoppedAfterPass1)
        std::cout << ", stopped after pass 1";
    else if (errors == 0)
        std::cout << ", " << result.byteCount << " bytes";
    std::cout << '\n';
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
    if (options.version) {
        std::cout << "asm11 " TARNWICK_VERSION "\n";
        return kClean;
    }
    const std::string& source = options.sourcePath;
    // The outputs go beside the source with these extensions: one of them would overwrite it.
    std::string extension = fs::path(source).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* output : {".s19", ".sym", ".lst", ".map", ".err", ".exp"}) {
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
    // An include named like an output, or reached through a link, must not be lost to it.
    if (const std::optional<OverwrittenInput> clash =
            findOverwrittenInput(result.readFiles, outputPaths(source, result, options))) {
        const std::string output = clash->output == clash->input ? "" : " " + clash->output;
        fileError(source, "Output" + output + " would overwrite the input file " + clash->input);
        ++errors;
        printSummary(source, result, errors);
        return kErrors;
    }
    if (options.errorFile)
        errors += writeErrorFiles(source, result.messages, options.otherMessages);

    const fs::path s19Path = beside(source, ".s19");
    const fs::path symPath = beside(source, ".sym");
    std::error_code ignored;
    if (errors > 0) {
        // A stale image from an earlier build must not be debugged as if it were this one.
        fs::remove(s19Path, ignored);
        fs::remove(symPath, ignored);
    } else {
        const std::string header = options.s0Header ? fs::path(source).stem().string() : "";
        if (options.s19File && !writeOutput(source, s19Path, s19Text(result, header))) ++errors;
        if (options.symbolFile && !writeOutput(source, symPath, symbolFileText(result))) ++errors;
        if (options.exportFile &&
            !writeOutput(source, beside(source, ".exp"), exportFileText(result)))
            ++errors;
    }
    // The listing helps to find the errors, so it is written regardless; after pass 1 alone
    // it shows pass 1's lines and messages.
    if (options.listing) {
        if (!writeOutput(source, beside(source, ".lst"), listingText(result))) ++errors;
    } else if (result.stoppedAfterPass1) {
        fs::remove(beside(source, ".lst"), ignored);
    }
    if (result.stoppedAfterPass1) {
        // A map of an earlier build would stand for this one.
        fs::remove(beside(source, ".map"), ignored);
    } else if (options.map && !writeOutput(source, beside(source, ".map"), mapText(result))) {
        ++errors;
    }

    printSummary(source, result, errors);
    if (errors > 0) return kErrors;
    return result.warnings > 0 ? kWarningsOnly : kClean;
}

}  // namespace
}  // namespace tarnwick::asm11

int main(int argc, char** argv) {
    return tarnwick::asm11::run(argc, argv);
}
