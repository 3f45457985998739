#include "hc11run/run_options.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {
namespace {

ParsedRunOptions parse(std::vector<const char*> args) {
    args.insert(args.begin(), "hc11run");
    return parseRunOptions(static_cast<int>(args.size()), args.data());
}

TEST(RunOptionsTest, DefaultsComeFromTheE1AndAnEightMegahertzCrystal) {
    const ParsedRunOptions parsed = parse({"prog.s19"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const RunOptions& o = parsed.options;
    EXPECT_EQ(o.s19Path, "prog.s19");
    EXPECT_EQ(o.romRanges, "E000 FFFF");
    EXPECT_EQ(o.readWriteRanges, "0000 01FF");
    EXPECT_EQ(o.thirdRanges, "B600 B7FF");
    EXPECT_EQ(o.crystalHz, 8000000u);
    EXPECT_FALSE(o.randomMemory);
    EXPECT_FALSE(o.startPc);
    EXPECT_FALSE(o.continueOnInvalid);
    EXPECT_FALSE(o.cycles || o.steps || o.untilPc || o.portE);
    EXPECT_TRUE(o.untilOutput.empty() && o.sciInPath.empty());
    EXPECT_TRUE(o.analogInputs.empty() && o.xirqTimings.empty());
    EXPECT_FALSE(o.realtime);
}

TEST(RunOptionsTest, RangeOptionsOverrideOnlyTheirOwnPartOfTheChip) {
    // Order does not matter: the chip is resolved after every range option has been read.
    const ParsedRunOptions parsed =
        parse({"--ram", "0000 03FF", "--chip=M68HC811E2", "--io=", "--xtal", "3.6864 MHz", "p"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ(parsed.options.romRanges, "F800 FFFF");
    EXPECT_EQ(parsed.options.readWriteRanges, "0000 03FF");
    EXPECT_EQ(parsed.options.thirdRanges, "");
    EXPECT_EQ(parsed.options.crystalHz, 3686400u);
}

TEST(RunOptionsTest, StartRunAndOutputOptions) {
    const ParsedRunOptions parsed =
        parse({"--bin", "a.bin@E000", "--bin=dir@x/b.bin@$FFFE", "--pc", "0x100", "--set",
               "a=12,B=ff,X=1000", "--set=Y=FFFF,SP=1FF,CCR=D0", "--cycles", "8589934592",
               "--steps=7", "--until-pc", "e023", "--on-invalid=continue", "--trace",
               "--random-memory", "--dump", "mem.bin"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const RunOptions& o = parsed.options;
    EXPECT_TRUE(o.s19Path.empty());
    ASSERT_EQ(o.binaries.size(), 2u);
    EXPECT_EQ(o.binaries[0].path, "a.bin");
    EXPECT_EQ(o.binaries[0].address, 0xE000);
    EXPECT_EQ(o.binaries[1].path, "dir@x/b.bin");
    EXPECT_EQ(o.binaries[1].address, 0xFFFE);
    EXPECT_EQ(o.startPc, 0x0100);
    EXPECT_EQ(o.registers.a, 0x12);
    EXPECT_EQ(o.registers.b, 0xFF);
    EXPECT_EQ(o.registers.ix, 0x1000);
    EXPECT_EQ(o.registers.iy, 0xFFFF);
    EXPECT_EQ(o.registers.sp, 0x01FF);
    EXPECT_EQ(o.registers.ccr, 0xD0);
    EXPECT_EQ(o.cycles, 8589934592u);  // past the wrap of the 32-bit cycle counter
    EXPECT_EQ(o.steps, 7u);
    EXPECT_EQ(o.untilPc, 0xE023);
    EXPECT_TRUE(o.continueOnInvalid);
    EXPECT_TRUE(o.trace);
    EXPECT_TRUE(o.randomMemory);
    EXPECT_EQ(o.dumpPath, "mem.bin");
}

TEST(RunOptionsTest, InputsAndInteractiveOptions) {
    const ParsedRunOptions parsed =
        parse({"p", "--porte", "$5A", "--adc", "0=255", "--adc=7=$80", "--adc", "0=0x10", "--xirq",
               "level@100-250", "--xirq=pulse@0", "--xirq", "level@250-300", "--sci-in", "-",
               "--realtime", "--steps", "0"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const RunOptions& o = parsed.options;
    EXPECT_EQ(o.portE, 0x5A);
    ASSERT_EQ(o.analogInputs.size(), 3u);
    EXPECT_EQ(o.analogInputs[0].channel, 0);
    EXPECT_EQ(o.analogInputs[0].value, 255);
    EXPECT_EQ(o.analogInputs[1].channel, 7);
    EXPECT_EQ(o.analogInputs[1].value, 0x80);
    EXPECT_EQ(o.analogInputs[2].value, 0x10);
    EXPECT_EQ(o.xirqTimings,
              (std::vector<XirqTiming>{{true, 100, 250}, {false, 0, 0}, {true, 250, 300}}));
    EXPECT_EQ(o.sciInPath, "-");
    EXPECT_TRUE(o.realtime);
    EXPECT_EQ(o.steps, 0u);

    EXPECT_EQ(parse({"p", "--until-output", R"(\x3e\r\n\t\\\x7 \x414)"}).options.untilOutput,
              ">\r\n\t\\\x07 A4");
}

TEST(RunOptionsTest, HelpAndVersionNeedNothingElse) {
    for (const char* flag : {"--help", "-h", "--version"}) {
        const ParsedRunOptions parsed = parse({flag});
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(parsed.options.help, std::string_view(flag) != "--version") << flag;
        EXPECT_EQ(parsed.options.version, std::string_view(flag) == "--version") << flag;
    }
}

TEST(RunOptionsTest, BadCommandLinesGetOneLineReasons) {
    const std::string kAdcExpected =
        "--adc: expected CHANNEL=VALUE, channel 0-7 and value 0-255 or hex such as 0x80, got ";
    const std::string kXirqExpected =
        "--xirq: expected pulse@CYCLE or level@FROM-TO (decimal E cycles), got ";
    const struct {
        std::vector<const char*> args;
        std::string error;
    } cases[] = {
        {{}, "nothing to run: give an S19 file or --bin FILE@ADDR"},
        {{"a.s19", "b.s19"}, "more than one S19 file: a.s19 and b.s19"},
        {{"p", "--fast"}, "unknown option --fast"},
        {{"p", "--cycles"}, "--cycles needs a value"},
        {{"p", "--trace=1"}, "--trace takes no value"},
        {{"p", "--cycles", "0"},
         "--cycles: not a decimal number from 1 to 18446744073709551615: 0"},
        {{"p", "--steps", "-3"},
         "--steps: not a decimal number from 0 to 18446744073709551615: -3"},
        {{"p", "--steps", "12x"},
         "--steps: not a decimal number from 0 to 18446744073709551615: 12x"},
        {{"p", "--pc", "10000"}, "--pc: not a hex address (0000-FFFF): 10000"},
        {{"p", "--until-pc", "DONE"}, "--until-pc: not a hex address (0000-FFFF): DONE"},
        {{"p", "--until-pc", ""}, "--until-pc: not a hex address (0000-FFFF): "},
        {{"--bin", "image.bin"}, "--bin: expected FILE@ADDR, got image.bin"},
        {{"--bin", "@E000"}, "--bin: expected FILE@ADDR, got @E000"},
        {{"--bin", "image.bin@G000"}, "--bin: not a hex address (0000-FFFF): G000"},
        {{"p", "--set", "A"}, "--set: expected REGISTER=HEX, got A"},
        {{"p", "--set="}, "--set: expected REGISTER=HEX, got "},
        {{"p", "--set", "A=100"}, "--set: A needs a hex value up to FF, got 100"},
        {{"p", "--set", "SP=10000"}, "--set: SP needs a hex value up to FFFF, got 10000"},
        {{"p", "--set", "D=1"}, "--set: unknown register D (A, B, X, Y, SP, CCR)"},
        {{"p", "--on-invalid=ignore"}, "--on-invalid: expected continue or stop, got ignore"},
        {{"p", "--chip", "M68HC12"},
         "--chip: unknown chip M68HC12 (one of M68HC11A0, M68HC11A1, M68HC11E0, M68HC11E1, "
         "M68HC(7)11E9, M68HC811E2)"},
        {{"p", "--xtal", "8"},
         "--xtal: unknown crystal 8 (one of 3.6864 MHz, 4 MHz, 4.9152 MHz, 8 MHz, 9.8304 MHz, "
         "12 MHz)"},
        {{"p", "--rom", "$E000 FFFF"},
         "--rom: expected start and end hex address pairs such as \"E000 FFFF\", got \"$E000 "
         "FFFF\""},
        {{"p", "--rom", "E000"},
         "--rom: expected start and end hex address pairs such as \"E000 FFFF\", got \"E000\""},
        {{"p", "--ram", "0000 01FG"},
         "--ram: expected start and end hex address pairs such as \"E000 FFFF\", got \"0000 "
         "01FG\""},
        {{"p", "--io", "B7FF B600"},
         "--io: expected start and end hex address pairs such as \"E000 FFFF\", got \"B7FF "
         "B600\""},
        {{"p", "--porte", "100"}, "--porte: not a hex byte (00-FF): 100"},
        {{"p", "--porte="}, "--porte: not a hex byte (00-FF): "},
        {{"p", "--adc", "8=1"}, kAdcExpected + "8=1"},
        {{"p", "--adc", "1=256"}, kAdcExpected + "1=256"},
        {{"p", "--adc", "1=$100"}, kAdcExpected + "1=$100"},
        {{"p", "--adc", "1"}, kAdcExpected + "1"},
        {{"p", "--adc", "=5"}, kAdcExpected + "=5"},
        {{"p", "--xirq", "pulse@"}, kXirqExpected + "pulse@"},
        {{"p", "--xirq", "pulse@1e3"}, kXirqExpected + "pulse@1e3"},
        {{"p", "--xirq", "level@100"}, kXirqExpected + "level@100"},
        {{"p", "--xirq", "level@-100"}, kXirqExpected + "level@-100"},
        {{"p", "--xirq", "edge@100"}, kXirqExpected + "edge@100"},
        {{"p", "--xirq", "level@200-200"},
         "--xirq: a level must end after it starts, got level@200-200"},
        {{"p", "--xirq", "level@100-300", "--xirq", "pulse@150", "--xirq", "level@0-101"},
         "--xirq: level@100-300 and level@0-101 overlap"},
        {{"p", "--sci-in", ""}, "--sci-in: give a file, or - for standard input"},
        {{"p", "--sci-in", "a", "--sci-in", "-"}, "more than one --sci-in: a and -"},
        {{"p", "--until-output", ""}, "--until-output: the text is empty"},
        {{"p", "--until-output", "ok\\e"},
         "--until-output: unknown escape \\e (\\r, \\n, \\t, \\\\ and \\xHH are known)"},
        {{"p", "--until-output", "\\xg"}, "--until-output: \\x needs one or two hex digits"},
        {{"p", "--until-output", "ok\\"}, "--until-output: a \\ at the end escapes nothing"},
        {{"p", "--realtime=yes"}, "--realtime takes no value"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const char* arg : c.args) line += std::string(arg) + " ";
        EXPECT_EQ(parse(c.args).error, c.error) << line;
    }
}

}  // namespace
}  // namespace tarnwick
