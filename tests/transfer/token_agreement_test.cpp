#include <gtest/gtest.h>

#include <array>

#include "acquisition/page_name.h"
#include "transfer/componi_stringa.h"

namespace scantora {
namespace {

// Scan time and transfer read level tokens alike, odd spellings included, or the transfer
// would not find what scanning wrote.
TEST(TokenAgreement, LevelTokensReadTheSameOnBothSides) {
    const std::array<std::string, 2> codes = {"2002", "A17"};
    LevelValueTable table;
    table.Set(0, codes[0]);
    table.Set(1, codes[1]);
    const CompositionJob job{{4, 3}, "fro"};
    const char* const rules[] = {"$1#*%",  "$1#2%", "$ 1#*%", "$+1#1%", "$1#*x%",    "$1#2x%",
                                 "$01#*%", "$X%",   "$%",     "$1%",    "$#1%",      "$0#*%",
                                 "$10#*%", "$1#0%", "$1#99%", "$2#*%",  "a%b$1#3%c", "$1#*",
                                 "$F-1%",  "$1-2%", "$-1#2%", "$ -1%",  "$xF2%",     "$F2%"};
    for (const char* rule : rules) {
        SCOPED_TRACE(rule);
        std::string scan = "/r/";
        AppendLevelName(scan, rule, {codes, 2, "fro"});
        std::string transfer = "/r/";
        COMPONI_STRINGA(transfer, rule, kModeFiglio, table, job, 2);
        EXPECT_EQ(scan, transfer);
    }
}

TEST(TokenAgreement, DeeperLevelsYieldNothingOnBothSides) {
    const std::array<std::string, 2> codes = {"2002", "A17"};
    LevelValueTable table;
    table.Set(0, codes[0]);
    table.Set(1, codes[1]);
    const CompositionJob job{{4, 3}, "fro"};
    std::string scan;
    AppendLevelName(scan, "<$2#*%>", {codes, 1, "fro"});
    std::string transfer;
    COMPONI_STRINGA(transfer, "<$2#*%>", kModeFiglio, table, job, 1);
    EXPECT_EQ(scan, "<>");
    EXPECT_EQ(transfer, "<>");
}

}  // namespace
}  // namespace scantora
