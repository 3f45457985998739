#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::asm11 {

// The nesting of #IF ... #ELSE ... #ENDIF blocks.
class ConditionStack {
  public:
    struct Block {
        bool outerActive;
        bool active;  // the branch being read is assembled
        bool taken;   // one of the block's branches was assembled
        bool inElse = false;
        std::string file;
        int line;
    };

    void clear() { blocks_.clear(); }
    void open(bool condition, std::string file, int line);
    void otherwise();  // #ELSE; throws AsmError without an open block or after an #ELSE
    // #ELSE IF...: the condition counts only when no branch before was taken.
    void otherwiseIf(bool condition);
    // True when an #ELSE IF's condition matters (it would decide the branch).
    bool decidesNext() const;
    void close();  // #ENDIF; throws AsmError without an open block
    bool skipping() const;
    const std::vector<Block>& openBlocks() const { return blocks_; }

  private:
    std::vector<Block> blocks_;
};

// "left OP right" with OP one of = == <> != < > <= >= outside constants and shifts.
struct Comparison {
    std::string_view left;
    std::string_view op;
    std::string_view right;
};

std::optional<Comparison> splitComparison(std::string_view text);

// Compares as unsigned 32-bit numbers.
bool compare(std::int32_t left, std::string_view op, std::int32_t right);

}  // namespace tarnwick::asm11
