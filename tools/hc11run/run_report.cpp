#include "hc11run/run_report.h"

#include <csignal>
#include <cstdio>

#include "base/number_text.h"
#include "hc11run/json_text.h"
#include "hc11run/register_fields.h"

namespace tarnwick {
namespace {

const char* signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "SIGQUIT";
    }
}

// "DONE (E023)" for a label, "E023" for an address given in hex.
std::string addressName(const AddressArgument& address) {
    const std::string hex = hexText(address.value, 4);
    return address.isLabel ? address.text + " (" + hex + ")" : hex;
}

std::string opcodeText(const std::vector<std::uint8_t>& opcode) {
    std::string text;
    for (const std::uint8_t byte : opcode) text += (text.empty() ? "" : " ") + hexText(byte, 2);
    return text;
}

std::string reasonText(const RunReport& report, const RunOptions& options, int signal) {
    const std::string name(runEndInfo(report.end).name);
    switch (report.end) {
        case RunEnd::UntilPc:
        case RunEnd::FailPc:
            return name + " " + addressName(*report.reachedAddress);
        case RunEnd::Timeout: {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, " after %g s", *options.timeoutSeconds);
            return name + seconds;
        }
        case RunEnd::Stop:
            return name + ": STOP, and nothing can wake the CPU";
        case RunEnd::Wait:
            return name + ": WAI with I set and no XIRQ that can be taken";
        case RunEnd::Signal:
            return name + " " + signalName(signal);
        case RunEnd::IllegalOpcode:
        case RunEnd::UninitialisedVector:
        case RunEnd::InvalidAccess:
            if (report.fault) return name + " at " + hexText(report.fault->address, 4);
            return name;
        default:
            return name;
    }
}

// "PC=E023 A=08 B=00 D=0800 X=1000 Y=E047 SP=01FF CCR=D4": PC first, the others in order.
std::string registerText(const RegisterSnapshot& r) {
    const RegisterField& pc = *findRegisterField("PC");
    std::string text = "PC=" + hexText(pc.read(r), 4);
    for (const RegisterField& field : kRegisterFields)
        if (&field != &pc)
            text +=
                " " + std::string(field.name) + "=" + hexText(field.read(r), field.word ? 4 : 2);
    return text;
}

std::string valueText(std::uint16_t value, bool word) {
    return hexText(value, word ? 4 : 2);
}

std::string targetName(const Expectation& expected) {
    return expected.target.empty() ? addressName(expected.address) : expected.target;
}

// A fault followed by a reset: its registers are the ones before the reset.
bool resetFollowed(const Fault& fault) {
    return fault.end != RunEnd::IllegalOpcode;
}

void registersJson(JsonWriter& json, std::string_view key, const RegisterSnapshot& r) {
    json.beginObject(key);
    for (const RegisterField& field : kRegisterFields) json.number(field.name, field.read(r));
    json.endObject();
}

}  // namespace

RunReport makeReport(const Machine& machine, const ToolHost& host, const ProgramRun& run,
                     RunEnd end, const RunOptions& options) {
    RunReport report;
    report.end = end;
    report.status = runEndInfo(end).status + (end == RunEnd::Signal ? run.signal() : 0);
    report.reachedAddress = run.reachedAddress();
    report.registers = RegisterSnapshot::of(machine);
    report.cycles = run.cyclesRun();
    report.steps = run.steps();
    report.seconds = static_cast<double>(report.cycles) * 4.0 / options.crystalHz;
    report.crystal = options.crystal;
    if (options.randomMemory) report.seed = host.seedUsed;
    report.sciOutput = run.sciOutput();
    report.notes = run.notes();
    report.fault = host.fault;
    if (report.fault && end != report.fault->end) report.fault.reset();
    report.reason = reasonText(report, options, run.signal());

    for (const PrintRequest& request : options.prints) {
        PrintedMemory printed{&request, {}};
        const int size = request.words ? 2 : 1;
        for (std::uint32_t i = 0; i < request.count; ++i) {
            const auto address = static_cast<std::uint16_t>(request.address.value + i * size);
            printed.values.push_back(request.words ? machine.peek16(address)
                                                   : machine.peek(address));
        }
        report.printed.push_back(std::move(printed));
    }

    bool allHold = true;
    for (const Expectation& expected : options.expectations) {
        const std::uint16_t actual =
            !expected.target.empty() ? findRegisterField(expected.target)->read(report.registers)
            : expected.word          ? machine.peek16(expected.address.value)
                                     : machine.peek(expected.address.value);
        const bool holds = actual == expected.value.value;
        allHold = allHold && holds;
        report.expectations.push_back({&expected, actual, holds});
    }
    const bool plainEnd = report.status == kEndReached || report.status == kLimitReached ||
                          report.status == kInputEnded;
    if (!allHold && plainEnd) report.status = kExpectationFailed;
    return report;
}

std::string textSummary(const RunReport& report) {
    char figures[96];
    std::snprintf(figures, sizeof figures, " cycles=%llu time=%.6f s",
                  static_cast<unsigned long long>(report.cycles), report.seconds);
    std::string text = report.reason + ": " + registerText(report.registers) + figures;
    if (report.seed) text += " seed=" + std::to_string(*report.seed);
    text += '\n';

    if (const auto& fault = report.fault) {
        text += std::string(runEndInfo(fault->end).name) + " at " + hexText(fault->address, 4);
        if (!fault->opcode.empty()) text += " (opcode " + opcodeText(fault->opcode) + ")";
        if (resetFollowed(*fault)) text += "; before the reset " + registerText(fault->registers);
        text += '\n';
    }
    for (const PrintedMemory& printed : report.printed) {
        text += addressName(printed.request->address) + ":";
        for (const std::uint16_t value : printed.values)
            text += " " + valueText(value, printed.request->words);
        text += '\n';
    }
    for (const ExpectationResult& result : report.expectations) {
        if (result.holds) continue;
        const Expectation& expected = *result.expected;
        text += "hc11run: expected " + targetName(expected) + " = " +
                valueText(expected.value.value, expected.word) + ", found " +
                valueText(result.actual, expected.word) + "\n";
    }
    return text;
}

std::string jsonSummary(const RunReport& report) {
    JsonWriter json;
    json.beginObject()
        .string("reason", runEndInfo(report.end).name)
        .number("status", static_cast<std::uint64_t>(report.status))
        .string("message", report.reason);
    if (report.reachedAddress) {
        json.number("stopAddress", report.reachedAddress->value);
        json.string("stopLabel", report.reachedAddress->isLabel ? report.reachedAddress->text : "");
    }
    registersJson(json, "registers", report.registers);
    json.number("cycles", report.cycles)
        .number("steps", report.steps)
        .real("seconds", report.seconds)
        .string("crystal", report.crystal);
    report.seed ? json.number("seed", *report.seed) : json.null("seed");
    json.string("sciOutput", report.sciOutput);
    json.beginArray("notes");
    for (const std::string& note : report.notes) json.string({}, note);
    json.endArray();

    json.beginArray("print");
    for (const PrintedMemory& printed : report.printed) {
        const AddressArgument& address = printed.request->address;
        json.beginObject()
            .number("address", address.value)
            .string("label", address.isLabel ? address.text : "")
            .string("unit", printed.request->words ? "word" : "byte")
            .beginArray("values");
        for (const std::uint16_t value : printed.values) json.number({}, value);
        json.endArray().endObject();
    }
    json.endArray();

    json.beginArray("expect");
    for (const ExpectationResult& result : report.expectations) {
        const Expectation& expected = *result.expected;
        json.beginObject().string(
            "target", expected.target.empty() ? expected.address.text : expected.target);
        expected.target.empty() ? json.number("address", expected.address.value)
                                : json.null("address");
        json.string("unit", expected.word ? "word" : "byte")
            .number("expected", expected.value.value)
            .number("actual", result.actual)
            .boolean("holds", result.holds)
            .endObject();
    }
    json.endArray();

    if (const auto& fault = report.fault) {
        json.beginObject("fault")
            .string("kind", runEndInfo(fault->end).name)
            .number("pc", fault->address)
            .beginArray("opcode");
        for (const std::uint8_t byte : fault->opcode) json.number({}, byte);
        json.endArray().string("message", fault->message).boolean("reset", resetFollowed(*fault));
        registersJson(json, "registers", fault->registers);
        json.number("cycleCounter", fault->cycleCounter).endObject();
    } else {
        json.null("fault");
    }
    return json.endObject().text() + "\n";
}

}  // namespace tarnwick
