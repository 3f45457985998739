#include "hc11run/run_options.h"

namespace tarnwick {

std::string usageText() {
    return R"(Usage: hc11run [FILE.s19 | PROJECT.pro] [--bin FILE@ADDR]... [options]
Runs a 68HC11 program on the simulator. Every byte the SCI transmits goes to stdout;
messages, the trace and a closing summary (registers, cycles, time at the crystal) go
to stderr. Addresses and register values are hex, counts decimal. Every address option
takes a label of the symbol file instead: a word the symbol file has is the label, "$" or
"0x" in front always means hex.

Program (at least one):
  FILE.s19               S-record file to load
  PROJECT.pro            project file: loads the S19 image its debug start loads (the
                         first file's .s19 for ASM11 and ICC11 projects, the first file
                         of an S19 project) with the project's CPU configuration and
                         crystal, random memory fill included; the CPU options below
                         cannot be given with it
  --bin FILE@ADDR        raw binary stored from ADDR on, after the memory map is applied
                         and memory filled; repeatable
  --sym FILE.sym         the symbol file (as asm11 writes it) whose labels the address
                         options take; by default the .sym beside the S19 image, when
                         there is one. A label it does not have is an error

CPU:
  --chip NAME            )" +
           chipNameList() + R"(;
                         default M68HC11E1
  --rom RANGES           ROM address pairs, e.g. "E000 FFFF"; replace the chip's ranges
  --ram RANGES           RAM address pairs
  --io RANGES            the third ranges (EEPROM area, simulated as RAM); "" for none
  --xtal NAME            )" +
           crystalNameList() + R"(;
                         default "8 MHz"
  --random-memory        non-ROM memory starts random instead of 00 (ROM is always FF)
  --seed N               the seed (decimal) of the random fill, to repeat a run; without
                         it the seed comes from the clock and the summary shows it

Start:
  (default)              machine reset: PC from the reset vector at FFFE
  --pc ADDR              start at ADDR without a machine reset: only the I/O registers
                         get their reset values; A, B, X, Y, SP and CCR start at 00
  --set R=V[,R=V]...     registers A, B, D, X, Y, SP, PC, CCR, applied after the start
                         state; the 16-bit ones take labels

Inputs:
  --porte HEX            the levels of the Port E pins as PORTE reads them (default FF)
  --adc CH=VALUE         the level of analog input AN0-AN7 (CH 0-7) as the A/D converter
                         reads it: 0-255, or hex such as 0x80; repeatable, the inputs
                         not given read 0
  --xirq pulse@CYCLE     pull the XIRQ line low after CYCLE E cycles until one XIRQ
                         interrupt is taken; repeatable
  --xirq level@FROM-TO   hold the XIRQ line low from E cycle FROM to TO; repeatable, the
                         levels must not overlap. In STOP no E cycles run, so the next
                         pull comes at once. Both need the XIRQ vector at FFF4 set; a pull
                         while the line is already low adds nothing
  --sci-in FILE          bytes the SCI receives, one per frame time at the program's
                         baud rate while the receiver is enabled (RE); until then they
                         wait, where a real line would lose them. A byte that arrives
                         before the program has read the one before is lost (overrun),
                         as on a real line. "-" reads standard input as it comes; the
                         run goes on after the input ends. When standard input is a
                         terminal, each key goes to the program as it is typed, without
                         echo (Enter sends CR), and Ctrl+] ends the run; the terminal is
                         set back when the run ends, Ctrl+C included

Run until one of:
  --cycles N             N E cycles have run (the count goes on past the 32-bit
                         cycle counter's wrap)
  --steps N              N steps (instructions or interrupt entries) have run; 0 runs
                         nothing and leaves the start state, e.g. for --dump
  --until-pc ADDR        PC is ADDR after a step; repeatable, any of them ends the run
  --fail-pc ADDR         PC is ADDR after a step, which fails the run (status 6);
                         repeatable
  --until-output TEXT    what the SCI has transmitted ends with TEXT; \r, \n, \t, \\ and
                         \xHH stand for those bytes, e.g. --until-output '> ' or '\r\n>'
  --until-input-end      the --sci-in input has ended, the program has read its last
                         byte and the SCI has then been silent for 100 frame times
  --timeout SECONDS      that much wall-clock time has passed (fractions allowed)
  the program stops itself (illegal opcode trap, uninitialised interrupt vector, STOP
  that nothing can wake, WAI that no interrupt can end) or an invalid memory access is
  answered with stop; without an end option the run lasts until then, or until Ctrl+C.
  --on-invalid=continue|stop
                         answer to invalid memory accesses; stop (default) resets the
                         machine and ends the run, continue goes on
  --realtime             simulated time runs no faster than the wall clock at the
                         crystal (hc11run sleeps while it is ahead), for interactive use

Output:
  --trace                after every step one line on stderr: the next PC, A, B, X, Y,
                         SP, CCR, the step's cycles and the cycles run so far
  --dump FILE            write the 65536 memory bytes to FILE at the end
  --print ADDR[:LEN][b|w]
                         after the run, print LEN (default 1) bytes (b) or big-endian words
                         (w) from ADDR on stderr, e.g. --print TOTAL:w, --print BUF:16;
                         repeatable
  --expect TARGET=VALUE  after the run, check a register (A, B, D, X, Y, SP, PC, CCR) or
                         memory at an address (ADDR, ADDR:b or ADDR:w) against VALUE (hex
                         or a label); memory compares a byte, or a big-endian word with
                         :w or a VALUE of more than two digits. Each mismatch prints a
                         line; repeatable
  --summary=text|json    json: standard output carries one JSON object instead of the SCI
                         output: reason, status, message, registers, cycles, steps,
                         seconds, crystal, seed, sciOutput, notes, print, expect, and
                         the fault (where a trap, a vector error or an invalid access
                         happened and the registers before the reset); text (default):
                         the summary line on stderr
  -h, --help             show this text
  --version              show the program's version

The first write to a register of a peripheral that is not simulated (output compares, input
captures, pulse accumulator, SPI, COP, EEPROM programming) gets a note on stderr, once per
peripheral: its registers act as plain memory.

Exit status:
  0  an --until-pc address or the --until-output text was reached, or Ctrl+] was typed
  1  bad command line, unknown label, or a file that cannot be read, loaded or written
  2  the program stopped itself: illegal opcode trap, uninitialised interrupt vector,
     STOP that nothing can wake or WAI that no interrupt can end
  3  an invalid memory access was answered with stop
  4  the --steps or --cycles limit was reached
  5  the --timeout was reached
  6  an --fail-pc address was reached
  7  an --expect did not hold, after a run that ended with 0, 4 or 8
  8  the input ended (--until-input-end)
  130, 143  the run was ended by Ctrl+C (SIGINT) or SIGTERM; the summary and --dump
     are written all the same
The summary names the reason first: until-pc, until-output, end-key, steps, cycles,
timeout, fail-pc, illegal-opcode, uninitialised-vector, stop, wait, invalid-access,
input-end or signal.
)";
}

}  // namespace tarnwick
