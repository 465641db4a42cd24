#include "imaging/exports/ordinal_table.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "pixdoc32.h"

namespace {

TEST(OrdinalTable, AscendingUniqueAndComplete) {
    std::set<std::string> names;
    int32_t previous = 0;
    for (const auto& e : pixdoc::OrdinalTable()) {
        EXPECT_GT(e.ordinal, previous) << e.name;
        previous = e.ordinal;
        EXPECT_TRUE(names.insert(e.name).second) << "duplicate name " << e.name;
        EXPECT_NE(e.function, nullptr) << e.name;
    }
}

TEST(OrdinalTable, LookupByOrdinal) {
    for (const auto& e : pixdoc::OrdinalTable()) {
        EXPECT_STREQ(PX_GetExportName(e.ordinal), e.name);
        EXPECT_EQ(PX_GetExportByOrdinal(e.ordinal), e.function);
    }
    EXPECT_EQ(PX_GetExportName(-1), nullptr);
    EXPECT_EQ(PX_GetExportByOrdinal(99999), nullptr);
}

// Every name in the table must be a real export of the shared library, so a caller binding by
// ordinal through dlsym finds the same function.
TEST(OrdinalTable, NamesAreExportedBySharedLibrary) {
    void* lib = dlopen(TEST_BINARY_DIR "/libpixdoc32.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto by_ordinal = reinterpret_cast<void* (*)(int32_t)>(dlsym(lib, "PX_GetExportByOrdinal"));
    ASSERT_NE(by_ordinal, nullptr);
    for (const auto& e : pixdoc::OrdinalTable()) {
        void* sym = dlsym(lib, e.name);
        EXPECT_NE(sym, nullptr) << e.name;
        EXPECT_EQ(by_ordinal(e.ordinal), sym) << e.name;
    }
    dlclose(lib);
}

}  // namespace
