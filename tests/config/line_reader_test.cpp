#include "config/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace scantora {
namespace {

std::vector<std::string> AllLines(const std::string& text, std::size_t max_kept = kMaxLineKept) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    std::string line;
    while (ReadTextLine(in, line, max_kept))
        lines.push_back(line);
    return lines;
}

TEST(ReadTextLine, DropsOnlyRealLineEnds) {
    using V = std::vector<std::string>;
    EXPECT_EQ(AllLines("a\nbc\r\nlast"), (V{"a", "bc", "last"}));
    EXPECT_EQ(AllLines("x\r\n\r\ny\n"), (V{"x", "", "y"}));
    EXPECT_EQ(AllLines("in\rside\n"), (V{"in\rside"}));
    EXPECT_EQ(AllLines(""), V{});
    EXPECT_EQ(AllLines("\n"), (V{""}));
}

TEST(ReadTextLine, LongLineStaysOneBoundedLine) {
    const std::string text = std::string(1000, 'k') + "\nnext\n";
    const auto lines = AllLines(text, 10);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(10, 'k'));
    EXPECT_EQ(lines[1], "next");
}

}  // namespace
}  // namespace scantora
