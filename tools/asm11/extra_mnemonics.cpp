#include "asm11/extra_mnemonics.h"

#include <map>

namespace tarnwick::asm11 {

namespace {

struct Entry {
    std::string_view name;
    ExtraMnemonic expansion;
};

ExtraMnemonic steps(std::vector<ExtraStep> list) {
    return {ExtraKind::Steps, std::move(list)};
}

ExtraMnemonic longBranch(std::string_view opposite) {
    return {ExtraKind::OverJump, {{opposite, ""}}};
}

const std::vector<Entry>& entries() {
    static const std::vector<Entry> list = {
        {"LDA", steps({{"LDAA", "@"}})},
        {"LDB", steps({{"LDAB", "@"}})},
        {"STA", steps({{"STAA", "@"}})},
        {"STB", steps({{"STAB", "@"}})},
        {"ORA", steps({{"ORAA", "@"}})},
        {"ORB", steps({{"ORAB", "@"}})},
        {"CMPD", steps({{"CPD", "@"}})},
        {"CMPX", steps({{"CPX", "@"}})},
        {"CMPY", steps({{"CPY", "@"}})},
        {"WAIT", steps({{"WAI", ""}})},
        {"CLRD", steps({{"CLRA", ""}, {"CLRB", ""}})},
        {"CLRX", steps({{"LDX", "#0"}})},
        {"CLRY", steps({{"LDY", "#0"}})},
        {"CLX", steps({{"LDX", "#0"}})},
        {"INCD", steps({{"ADDD", "#1"}})},
        {"DECD", steps({{"SUBD", "#1"}})},
        {"COMD", steps({{"COMA", ""}, {"COMB", ""}})},
        // NEGB leaves the borrow in C for the high byte.
        {"NEGD", steps({{"NEGA", ""}, {"NEGB", ""}, {"SBCA", "#0"}})},
        {"ROLD", steps({{"ROLB", ""}, {"ROLA", ""}})},
        {"RORD", steps({{"RORA", ""}, {"RORB", ""}})},
        {"PSHD", steps({{"PSHB", ""}, {"PSHA", ""}})},
        {"PULD", steps({{"PULA", ""}, {"PULB", ""}})},
        {"XGAB", steps({{"PSHA", ""}, {"TBA", ""}, {"PULB", ""}})},
        // D passes through both index registers and comes back unchanged.
        {"XGXY", steps({{"XGDX", ""}, {"XGDY", ""}, {"XGDX", ""}})},
        // All four registers, and back in the opposite order.
        {"PUSH", steps({{"PSHA", ""}, {"PSHB", ""}, {"PSHX", ""}, {"PSHY", ""}})},
        {"PULL", steps({{"PULY", ""}, {"PULX", ""}, {"PULB", ""}, {"PULA", ""}})},
        // Through the stack, so that D and the condition codes stay as they were.
        {"TXY", steps({{"PSHX", ""}, {"PULY", ""}})},
        {"TYX", steps({{"PSHY", ""}, {"PULX", ""}})},
        // Compare and branch when equal; decrement and branch when not zero.
        {"CBEQA", steps({{"CMPA", "@<"}, {"BEQ", "@>"}})},
        {"CBEQB", steps({{"CMPB", "@<"}, {"BEQ", "@>"}})},
        {"DBNZA", steps({{"DECA", ""}, {"BNE", "@"}})},
        {"DBNZB", steps({{"DECB", ""}, {"BNE", "@"}})},
        {"DBNZX", steps({{"DEX", ""}, {"BNE", "@"}})},
        {"DBNZY", steps({{"DEY", ""}, {"BNE", "@"}})},
        {"LBRA", steps({{"JMP", "@"}})},
        {"LBSR", steps({{"JSR", "@"}})},
        {"JCC", longBranch("BCS")},
        {"JCS", longBranch("BCC")},
        {"JEQ", longBranch("BNE")},
        {"JNE", longBranch("BEQ")},
        {"JGE", longBranch("BLT")},
        {"JLT", longBranch("BGE")},
        {"JGT", longBranch("BLE")},
        {"JLE", longBranch("BGT")},
        {"JHI", longBranch("BLS")},
        {"JLS", longBranch("BHI")},
        {"JHS", longBranch("BLO")},
        {"JLO", longBranch("BHS")},
        {"JMI", longBranch("BPL")},
        {"JPL", longBranch("BMI")},
        {"JVC", longBranch("BVS")},
        {"JVS", longBranch("BVC")},
        {"OS", {ExtraKind::SwiByte, {}}},
        {"OSW", {ExtraKind::SwiWord, {}}},
        {"GETX", {ExtraKind::Undefined, {}}},
        {"GETY", {ExtraKind::Undefined, {}}},
        {"GIVEX", {ExtraKind::Undefined, {}}},
        {"GIVEY", {ExtraKind::Undefined, {}}},
        {"CLS", {ExtraKind::Undefined, {}}},
        {"SES", {ExtraKind::Undefined, {}}},
    };
    return list;
}

}  // namespace

const ExtraMnemonic* extraMnemonic(std::string_view name) {
    static const std::map<std::string_view, const ExtraMnemonic*> index = [] {
        std::map<std::string_view, const ExtraMnemonic*> map;
        for (const Entry& entry : entries()) map[entry.name] = &entry.expansion;
        return map;
    }();
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

std::string extraMnemonicsHelp() {
    std::string text;
    for (const Entry& entry : entries()) {
        std::string line = "  " + std::string(entry.name);
        line.resize(9, ' ');
        switch (entry.expansion.kind) {
            case ExtraKind::SwiByte:
                line += "SWI, FCB n";
                break;
            case ExtraKind::SwiWord:
                line += "SWI, FDB n";
                break;
            case ExtraKind::Undefined:
                line += "refused: no defined expansion";
                break;
            case ExtraKind::OverJump:
                line += std::string(entry.expansion.steps[0].mnemonic) + " over, JMP operand";
                break;
            case ExtraKind::Steps:
                for (std::size_t i = 0; i < entry.expansion.steps.size(); ++i) {
                    const ExtraStep& step = entry.expansion.steps[i];
                    if (i > 0) line += ", ";
                    line += step.mnemonic;
                    if (step.operand == "@")
                        line += " operand";
                    else if (step.operand == "@<")
                        line += " value";
                    else if (step.operand == "@>")
                        line += " target";
                    else if (!step.operand.empty())
                        line += " " + std::string(step.operand);
                }
                break;
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace tarnwick::asm11
