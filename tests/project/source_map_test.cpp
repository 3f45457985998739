#include "project/source_map.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(SourceMapTest, FirstEmptyModuleEndsTheListAndClearEmptiesAll) {
    SourceMap map;
    EXPECT_EQ(map.moduleCount(), 0u);
    map.modules[0] = "main.asm";
    map.modules[1] = "lib\\io.asm";
    map.modules[3] = "orphan.asm";
    EXPECT_EQ(map.moduleCount(), 2u);
    map.modules.fill("x.c");
    EXPECT_EQ(map.moduleCount(), kModuleTableSize);

    map.symbols.back() = {"PORTA", 0x1000};
    map.temporaryDisassemblyCounter = 3;
    map.clear();
    EXPECT_EQ(map.moduleCount(), 0u);
    EXPECT_EQ(map.modules[3], "");
    EXPECT_EQ(map.symbols.back().name, "");
    EXPECT_EQ(map.symbols.back().address, 0);
    EXPECT_EQ(map.temporaryDisassemblyCounter, 0u);
}

}  // namespace
}  // namespace tarnwick
