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

TEST(OptionsTest, BadCommandLines) {
    EXPECT_EQ(parse({"-Q+", "p.asm"}).error, "unknown option -Q+ (see --help)");
    EXPECT_EQ(parse({"-WRN+"}).error, "no source file (see --help)");
    EXPECT_EQ(parse({"a.asm", "b.asm"}).error, "more than one source file: a.asm and b.asm");
    EXPECT_TRUE(parse({"--help"}).ok());
}

}  // namespace
}  // namespace tarnwick::asm11
