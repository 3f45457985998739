#include "asm11/instruction_encoder.h"

#include <string>
#include <unordered_map>
#include <utility>

#include "asm11/asm_error.h"
#include "asm11/source_line.h"
#include "base/number_text.h"

namespace tarnwick::asm11 {
namespace {

// TEST runs only in the test modes, so the simulator's table leaves it out; the assembler still
// accepts it. It counts the address bus until reset, so it has no cycle count.
constexpr InstructionForm kTest{
    Page::Base, 0x00, "TEST", Mode::Inherent, 1, 0, Operation::NoOperation, Reg::None};

using FormIndex = std::unordered_map<std::string_view, Forms, NameHash>;

const FormIndex& formIndex() {
    static const FormIndex index = [] {
        FormIndex built;
        for (const InstructionForm& form : kInstructionSet) built[form.mnemonic].push_back(&form);
        built[kTest.mnemonic].push_back(&kTest);
        return built;
    }();
    return index;
}

// "$12", "$1234", "$1E002", "-$10": at least two or four digits, as many as the value needs.
std::string hexValue(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint32_t magnitude = value < 0 ? 0u - bits : bits;
    int digits = magnitude > 0xFF ? 4 : 2;
    while (digits < 8 && magnitude >> (4 * digits) != 0) ++digits;
    return (value < 0 ? "-$" : "$") + hexText(magnitude, digits);
}

// Index register named by an operand field, or 0.
char indexRegister(std::string_view field) {
    const std::string_view name = trim(field);
    if (name.size() != 1) return 0;
    const char reg = upperChar(name[0]);
    return reg == 'X' || reg == 'Y' ? reg : 0;
}

class Encoder {
  public:
    explicit Encoder(const EncodeRequest& request) : request_(request) {
        for (const InstructionForm* form : request_.forms) {
            const InstructionForm*& slot = byMode_[static_cast<std::size_t>(form->mode)];
            if (!slot) slot = form;
        }
    }

    Encoding encode() {
        if (formWith(Mode::BitSetDirect)) return bitInstruction(false);
        if (formWith(Mode::BitTestDirect)) return bitInstruction(true);
        if (const InstructionForm* relative = formWith(Mode::Relative)) {
            start(*relative);
            branchOffset(operand(), *relative);
            return std::move(result_);
        }
        if (const InstructionForm* inherent = formWith(Mode::Inherent)) {
            start(*inherent);  // anything after the mnemonic is comment
            return std::move(result_);
        }
        const std::string_view text = operand();
        if (text.front() == '#') return immediate(text.substr(1));
        if (const std::size_t comma = lastComma(text); comma != std::string_view::npos) {
            if (const char reg = indexRegister(text.substr(comma + 1)))
                return indexed(reg, text.substr(0, comma));
            throw AsmError{"Bad operand: " + std::string(text)};
        }
        if (const char reg = indexRegister(text)) return indexed(reg, "0");
        return memory(text);
    }

  private:
    static constexpr std::size_t kModes = static_cast<std::size_t>(Mode::Extended) + 1;

    const EncodeRequest& request_;
    // The first form of each mode, found in one pass: encode() asks for several modes.
    std::array<const InstructionForm*, kModes> byMode_{};
    Encoding result_;

    const InstructionForm* formWith(Mode mode) const {
        return byMode_[static_cast<std::size_t>(mode)];
    }

    std::string_view mnemonic() const { return request_.forms.front()->mnemonic; }

    std::string_view operand() const {
        const std::string_view text = operandField(request_.rest, request_.spaces);
        if (text.empty()) throw AsmError{"Missing operand for " + std::string(mnemonic())};
        return text;
    }

    const InstructionForm& need(Mode mode, std::string_view what) const {
        if (const InstructionForm* form = formWith(mode)) return *form;
        throw AsmError{std::string(what) + " not allowed for " + std::string(mnemonic())};
    }

    void start(const InstructionForm& form) {
        switch (form.page) {
            case Page::Prefix18:
                result_.bytes.push_back(kPrefix18);
                break;
            case Page::Prefix1A:
                result_.bytes.push_back(kPrefix1A);
                break;
            case Page::PrefixCD:
                result_.bytes.push_back(kPrefixCD);
                break;
            case Page::Base:
                break;
        }
        result_.bytes.push_back(form.opcode);
    }

    Value evaluate(std::string_view text) const {
        text = trim(text);
        if (text.empty()) throw AsmError{"Missing operand for " + std::string(mnemonic())};
        return evaluateExpression(text, request_.context);
    }

    void byte(Value value, std::int32_t low, std::string_view what) {
        if (value.known && (value.number < low || value.number > 0xFF))
            throw AsmError{std::string(what) + " out of range: " + std::to_string(value.number)};
        result_.bytes.push_back(static_cast<std::uint8_t>(value.number));
    }

    void word(Value value) {
        if (value.known && (value.number < -0x8000 || value.number > 0xFFFF))
            throw AsmError{"16-bit value out of range: " + std::to_string(value.number)};
        result_.bytes.push_back(static_cast<std::uint8_t>(value.number >> 8));
        result_.bytes.push_back(static_cast<std::uint8_t>(value.number));
    }

    void branchOffset(std::string_view target, const InstructionForm& form) {
        const Value value = evaluate(target);
        if (value.known && (value.number < 0 || value.number > 0xFFFF))
            throw AsmError{"Branch target out of range: " + hexValue(value.number)};
        // PC arithmetic wraps at 16 bits, so a branch near FFFF may reach 0000 and beyond.
        const auto offset = static_cast<std::int16_t>(static_cast<std::uint16_t>(
            value.number - (request_.address.value_or(request_.context.location) + form.length)));
        if (value.known && offset > 127)
            throw AsmError{"Branch out of range by " + std::to_string(offset - 127) + " bytes"};
        if (value.known && offset < -128)
            throw AsmError{"Branch out of range by " + std::to_string(-128 - offset) + " bytes"};
        result_.bytes.push_back(static_cast<std::uint8_t>(value.known ? offset : 0));
    }

    static std::size_t lastComma(std::string_view text) {
        std::size_t comma = std::string_view::npos;
        for (std::size_t i = 0; i < text.size(); i = skipConstant(text, i))
            if (text[i] == ',') comma = i;
        return comma;
    }

    Encoding immediate(std::string_view text) {
        if (const InstructionForm* form = formWith(Mode::Immediate8)) {
            start(*form);
            byte(evaluate(text), -0x80, "8-bit value");
        } else {
            start(need(Mode::Immediate16, "Immediate mode"));
            word(evaluate(text));
        }
        return std::move(result_);
    }

    Encoding indexed(char reg, std::string_view offset) {
        start(need(reg == 'X' ? Mode::IndexedX : Mode::IndexedY, "Indexed mode"));
        byte(trim(offset).empty() ? Value{} : evaluate(offset), 0, "Index offset");
        return std::move(result_);
    }

    Encoding memory(std::string_view text) {
        const InstructionForm* direct = formWith(Mode::Direct);
        const InstructionForm* extended = formWith(Mode::Extended);
        const char force = text.front() == '<' || text.front() == '>' ? text.front() : 0;
        const Value value = evaluate(force ? text.substr(1) : text);
        bool useDirect;
        if (force == '<') {
            if (!direct) throw AsmError{"No direct mode for " + std::string(mnemonic())};
            useDirect = true;
        } else if (force == '>' || !direct) {
            need(Mode::Extended, "Extended mode");
            useDirect = false;
        } else if (!extended) {
            useDirect = true;
        } else if (request_.direct) {
            useDirect = *request_.direct;
        } else {
            useDirect = value.known && value.number >= 0 && value.number <= 0xFF;
        }
        result_.direct = useDirect;
        if (useDirect) {
            start(*direct);
            if (value.known && (value.number < 0 || value.number > 0xFF))
                throw AsmError{"Direct address out of range: " + hexValue(value.number)};
            result_.bytes.push_back(static_cast<std::uint8_t>(value.number));
        } else {
            start(*extended);
            word(value);
        }
        return std::move(result_);
    }

    // Fields of BSET/BCLR/BRSET/BRCLR, separated by a comma or, with spaces off, blanks.
    class Fields {
      public:
        Fields(std::string_view text, bool spaces) : text_(text), spaces_(spaces) {}

        // True when a comma follows the fields taken: an operand too many.
        bool continues() {
            skipBlanks();
            return pos_ < text_.size() && text_[pos_] == ',';
        }

        std::string_view next() {
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',' && taken_ > 0) {
                ++pos_;
                skipBlanks();
            }
            const std::size_t begin = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ';' &&
                   (spaces_ || !isBlank(text_[pos_])))
                pos_ = skipConstant(text_, pos_);
            ++taken_;
            return trim(text_.substr(begin, pos_ - begin));
        }

      private:
        void skipBlanks() {
            while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        }

        std::string_view text_;
        bool spaces_;
        std::size_t pos_ = 0;
        int taken_ = 0;
    };

    Encoding bitInstruction(bool branches) {
        Fields fields(request_.rest, request_.spaces);
        const std::string usage = std::string(mnemonic()) +
                                  (branches ? " needs address,mask,target or offset,X,mask,target"
                                            : " needs address,mask or offset,X,mask");
        auto field = [&] {
            const std::string_view text = fields.next();
            if (text.empty()) throw AsmError{usage};
            return text;
        };
        // The offset may be left out before X or Y: ",X,#mask" means offset 0.
        const std::string_view address = fields.next();
        std::string_view second = field();
        const char reg = indexRegister(second);
        if (address.empty() && !reg) throw AsmError{usage};
        if (reg) second = field();
        const Mode mode = branches ? (reg == 'X'   ? Mode::BitTestIndexedX
                                      : reg == 'Y' ? Mode::BitTestIndexedY
                                                   : Mode::BitTestDirect)
                                   : (reg == 'X'   ? Mode::BitSetIndexedX
                                      : reg == 'Y' ? Mode::BitSetIndexedY
                                                   : Mode::BitSetDirect);
        const InstructionForm& form = need(mode, "This mode");
        start(form);
        const Value where = address.empty() ? Value{} : evaluate(address);
        if (where.known && (where.number < 0 || where.number > 0xFF))
            throw AsmError{(reg ? "Index offset out of range: " : "Direct address out of range: ") +
                           hexValue(where.number)};
        result_.bytes.push_back(static_cast<std::uint8_t>(where.number));
        if (second.front() == '#') second.remove_prefix(1);
        byte(evaluate(second), -0x80, "Mask");
        if (branches) branchOffset(field(), form);
        if (fields.continues()) throw AsmError{usage};
        return std::move(result_);
    }
};

}  // namespace

const Forms* instructionForms(std::string_view mnemonic) {
    const auto& index = formIndex();
    const auto it = index.find(mnemonic);
    return it == index.end() ? nullptr : &it->second;
}

std::vector<std::string_view> instructionMnemonics() {
    std::vector<std::string_view> mnemonics;
    for (const auto& [mnemonic, forms] : formIndex()) mnemonics.push_back(mnemonic);
    return mnemonics;
}

Encoding encodeInstruction(const EncodeRequest& request) {
    return Encoder(request).encode();
}

}  // namespace tarnwick::asm11
