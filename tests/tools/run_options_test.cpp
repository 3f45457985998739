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
    EXPECT_FALSE(o.cycles || o.steps || o.portE || o.timeoutSeconds || o.seed);
    EXPECT_TRUE(o.untilPcs.empty() && o.failPcs.empty() && o.prints.empty());
    EXPECT_FALSE(o.jsonSummary);
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
    const ParsedRunOptions parsed = parse({"--bin",
                                           "a.bin@E000",
                                           "--bin=dir@x/b.bin@$FFFE",
                                           "--pc",
                                           "0x100",
                                           "--set",
                                           "a=12,B=ff,X=1000",
                                           "--set=Y=FFFF,SP=1FF,CCR=D0,d=BUF,pc=$E000",
                                           "--cycles",
                                           "8589934592",
                                           "--steps=7",
                                           "--until-pc",
                                           "e023",
                                           "--until-pc",
                                           "DONE",
                                           "--fail-pc",
                                           "0xE100",
                                           "--timeout",
                                           "2.5",
                                           "--on-invalid=continue",
                                           "--trace",
                                           "--random-memory",
                                           "--seed",
                                           "42",
                                           "--dump",
                                           "mem.bin",
                                           "--sym",
                                           "p.sym",
                                           "--summary=json"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const RunOptions& o = parsed.options;
    EXPECT_TRUE(o.s19Path.empty());
    ASSERT_EQ(o.binaries.size(), 2u);
    EXPECT_EQ(o.binaries[0].path, "a.bin");
    EXPECT_EQ(o.binaries[0].address.value, 0xE000);
    EXPECT_EQ(o.binaries[1].path, "dir@x/b.bin");
    EXPECT_EQ(o.binaries[1].address.value, 0xFFFE);
    EXPECT_EQ(o.startPc->value, 0x0100);
    EXPECT_EQ(o.registers.a, 0x12);
    EXPECT_EQ(o.registers.b, 0xFF);
    EXPECT_EQ(o.registers.ix->value, 0x1000);
    EXPECT_EQ(o.registers.iy->value, 0xFFFF);
    EXPECT_EQ(o.registers.sp->value, 0x01FF);
    EXPECT_EQ(o.registers.ccr, 0xD0);
    EXPECT_EQ(o.registers.d->text, "BUF");  // a label, looked up once the symbols are read
    EXPECT_EQ(o.registers.pc->value, 0xE000);
    EXPECT_EQ(o.cycles, 8589934592u);  // past the wrap of the 32-bit cycle counter
    EXPECT_EQ(o.steps, 7u);
    ASSERT_EQ(o.untilPcs.size(), 2u);
    EXPECT_EQ(o.untilPcs[0].value, 0xE023);
    EXPECT_EQ(o.untilPcs[1].text, "DONE");
    ASSERT_EQ(o.failPcs.size(), 1u);
    EXPECT_EQ(o.failPcs[0].value, 0xE100);
    EXPECT_EQ(o.timeoutSeconds, 2.5);
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.symPath, "p.sym");
    EXPECT_TRUE(o.jsonSummary);
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

TEST(RunOptionsTest, PrintAndExpectTakeTheirWidthFromTheSuffixOrTheValue) {
    const ParsedRunOptions parsed = parse(
        {"p",         "--print",  "TOTAL:w",  "--print",  "BUF:16",   "--print",    "0040:4w",
         "--print",   "$41",      "--expect", "TOTAL=5",  "--expect", "TOTAL=0005", "--expect",
         "TOTAL:w=5", "--expect", "PTR=BUF",  "--expect", "d=5",      "--expect",   "ccr=D4"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const RunOptions& o = parsed.options;
    ASSERT_EQ(o.prints.size(), 4u);
    const struct {
        std::string address;
        std::uint32_t count;
        bool words;
    } prints[] = {{"TOTAL", 1, true}, {"BUF", 16, false}, {"0040", 4, true}, {"$41", 1, false}};
    for (std::size_t i = 0; i < o.prints.size(); ++i) {
        EXPECT_EQ(o.prints[i].address.text, prints[i].address);
        EXPECT_EQ(o.prints[i].count, prints[i].count) << prints[i].address;
        EXPECT_EQ(o.prints[i].words, prints[i].words) << prints[i].address;
    }
    ASSERT_EQ(o.expectations.size(), 6u);
    const struct {
        std::string target;
        std::string address;
        bool word;
    } expected[] = {{"", "TOTAL", false}, {"", "TOTAL", true}, {"", "TOTAL", true},
                    {"", "PTR", true},    {"D", "", true},     {"CCR", "", false}};
    for (std::size_t i = 0; i < o.expectations.size(); ++i) {
        EXPECT_EQ(o.expectations[i].target, expected[i].target) << i;
        EXPECT_EQ(o.expectations[i].address.text, expected[i].address) << i;
        EXPECT_EQ(o.expectations[i].word, expected[i].word) << i;
    }
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
        {{"p", "--pc", "10000"}, "--pc: not a hex address (0000-FFFF) or a label: 10000"},
        {{"p", "--until-pc", "$DONE"},
         "--until-pc: not a hex address (0000-FFFF) or a label: $DONE"},
        {{"p", "--fail-pc", "A-B"}, "--fail-pc: not a hex address (0000-FFFF) or a label: A-B"},
        {{"p", "--until-pc", ""}, "--until-pc: not a hex address (0000-FFFF) or a label: "},
        {{"--bin", "image.bin"}, "--bin: expected FILE@ADDR, got image.bin"},
        {{"--bin", "@E000"}, "--bin: expected FILE@ADDR, got @E000"},
        {{"--bin", "image.bin@1G000"}, "--bin: not a hex address (0000-FFFF) or a label: 1G000"},
        {{"p", "--set", "A"}, "--set: expected REGISTER=HEX, got A"},
        {{"p", "--set="}, "--set: expected REGISTER=HEX, got "},
        {{"p", "--set", "A=100"}, "--set: A needs a hex value up to FF, got 100"},
        {{"p", "--set", "SP=10000"}, "--set SP: not a hex address (0000-FFFF) or a label: 10000"},
        {{"p", "--set", "S=1"}, "--set: unknown register S (A, B, D, X, Y, SP, PC, CCR)"},
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
        {{"p", "--timeout", "0"},
         "--timeout: expected a number of seconds above 0, such as 5 "
         "or 0.5, got 0"},
        {{"p", "--timeout", "1s"},
         "--timeout: expected a number of seconds above 0, such as 5 "
         "or 0.5, got 1s"},
        {{"p", "--seed", "x"}, "--seed: not a decimal number from 0 to 4294967295: x"},
        {{"p", "--sym", ""}, "--sym needs a file name"},
        {{"p", "--summary=xml"}, "--summary: expected text or json, got xml"},
        {{"p", "--until-input-end"}, "--until-input-end: give the input with --sci-in"},
        {{"p", "--print", "BUF:0"},
         "--print: expected ADDR[:LEN][b|w] with LEN from 1 to 65536, got BUF:0"},
        {{"p", "--print", "BUF:4x"},
         "--print: expected ADDR[:LEN][b|w] with LEN from 1 to 65536, got BUF:4x"},
        {{"p", "--expect", "A"}, "--expect: expected TARGET=VALUE, got A"},
        {{"p", "--expect", "=5"}, "--expect: expected TARGET=VALUE, got =5"},
        {{"p", "--expect", "A=100"},
         "--expect: A holds a byte, so the value must be 00-FF, got 100"},
        {{"p", "--expect", "BUF:b=0100"},
         "--expect: BUF holds a byte, so the value must be 00-FF, got 0100"},
        {{"p", "--expect", "BUF=#5"}, "--expect: not a hex address (0000-FFFF) or a label: #5"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const char* arg : c.args) line += std::string(arg) + " ";
        EXPECT_EQ(parse(c.args).error, c.error) << line;
    }
}

}  // namespace
}  // namespace tarnwick
