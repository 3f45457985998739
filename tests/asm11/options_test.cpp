#include "asm11/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::asm11 {
namespace {

ParsedAsmOptions parse(std::vector<const char*> args) {
    args.insert(args.begin(), "asm11");
    return parseAsmOptions(static_cast<int>(args.size()), args.data());
}

TEST(OptionsTest, TheIdeCommandLineGivesTheDefaults) {
    const ParsedAsmOptions parsed =
        parse({"-I/opt/inc:lib", "-WRN+", "-SP-", "-SH-", "-O+", "-P+", "-C-", "-L-", "-M-", "-X+",
               "-REL-", "-RTS-", "-LS+", "-LSE", "-S+", "-E-", "-T-", "prog.asm"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const AsmOptions& o = parsed.options;
    const AsmOptions defaults;
    EXPECT_EQ(o.sourcePath, "prog.asm");
    EXPECT_EQ(o.includeDirs, (std::vector<std::string>{"/opt/inc", "lib"}));
    EXPECT_TRUE(o.symbolFormatE);
    for (const auto flag :
         {&AsmOptions::warnings, &AsmOptions::spaces, &AsmOptions::s0Header,
          &AsmOptions::overlapCheck, &AsmOptions::pass1Stop, &AsmOptions::caseSensitive,
          &AsmOptions::listing, &AsmOptions::map, &AsmOptions::extraMnemonics, &AsmOptions::relHint,
          &AsmOptions::rtsHint, &AsmOptions::symbolFile, &AsmOptions::s19File,
          &AsmOptions::errorFile, &AsmOptions::otherMessages})
        EXPECT_EQ(o.*flag, defaults.*flag);
}

TEST(OptionsTest, SwitchesInAnyOrderAndCase) {
    const ParsedAsmOptions parsed = parse({"p.asm", "-sp+", "-WRN-", "-c+", "-LS-", "-sh+"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_TRUE(parsed.options.spaces);
    EXPECT_FALSE(parsed.options.warnings);
    EXPECT_TRUE(parsed.options.caseSensitive);
    EXPECT_FALSE(parsed.options.symbolFile);
    EXPECT_TRUE(parsed.options.s0Header);
}

// The include folders come joined to -I or as the next word; either way the source stays the
// one file name.
TEST(OptionsTest, IncludeFoldersWithOrWithoutABlank) {
    const struct {
        std::vector<const char*> args;
        std::vector<std::string> dirs;
    } cases[] = {
        {{"-Iinc", "p.asm"}, {"inc"}},
        {{"-I", "inc", "p.asm"}, {"inc"}},
        {{"-i", "a:b", "p.asm", "-Ic"}, {"a", "b", "c"}},
        {{"p.asm", "-I", "-WRN-"}, {"-WRN-"}},
    };
    for (const auto& c : cases) {
        const ParsedAsmOptions parsed = parse(c.args);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(parsed.options.sourcePath, "p.asm");
        EXPECT_EQ(parsed.options.includeDirs, c.dirs) << c.args.front();
    }
}

TEST(OptionsTest, BadCommandLines) {
    const struct {
        std::vector<const char*> args;
        const char* error;
    } cases[] = {
        {{"-Q+", "p.asm"}, "unknown option -Q+ (see --help)"},
        {{"p.asm", "--verbose"}, "unknown option --verbose (see --help)"},
        {{"-", "p.asm"}, "unknown option - (see --help)"},
        {{"-D", "p.asm"}, "unknown option -D (see --help)"},
        {{"p.asm", "-I"}, "-I needs a directory (see --help)"},
        {{"-WRN+"}, "no source file (see --help)"},
        {{"a.asm", "b.asm"}, "more than one source file: a.asm and b.asm"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.front();
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
    EXPECT_TRUE(parse({"--version"}).ok());
}

}  // namespace
}  // namespace tarnwick::asm11
