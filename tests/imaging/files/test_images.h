// Helpers for the header tests: hand-built TIFF files, byte writers, memory-image names and
// temporary disk files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/files/header_state.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace pixdoc::files::testing {

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& b, size_t at, uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

inline void PutLe32(Bytes& b, size_t at, uint32_t v) {
    PutLe16(b, at, v & 0xFFFF);
    PutLe16(b, at + 2, v >> 16);
}

inline void PutText(Bytes& b, size_t at, const std::string& text) {
    if (b.size() < at + text.size()) b.resize(at + text.size());
    for (size_t i = 0; i < text.size(); ++i)
        b[at + i] = static_cast<uint8_t>(text[i]);
}

// "MD:<address>,<size>" for bytes that outlive the name's use.
inline std::string MemoryName(const Bytes& bytes) {
    return "MD:" + std::to_string(reinterpret_cast<uintptr_t>(bytes.data())) + "," +
           std::to_string(bytes.size());
}

enum TiffType : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

struct TiffEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // the value itself (single SHORT/LONG) or the offset of the values
};

// Builds TIFF files of either byte order, one directory at a time.
class TiffBuilder {
public:
    explicit TiffBuilder(bool big_endian = false) : big_(big_endian) {
        PutText(bytes_, 0, big_ ? "MM" : "II");
        Put16(2, 42);
        Put32(4, 0);
    }

    void Put16(size_t at, uint32_t v) {
        if (bytes_.size() < at + 2) bytes_.resize(at + 2);
        bytes_[at + (big_ ? 1 : 0)] = v & 0xFF;
        bytes_[at + (big_ ? 0 : 1)] = (v >> 8) & 0xFF;
    }
    void Put32(size_t at, uint32_t v) {
        Put16(at + (big_ ? 2 : 0), v & 0xFFFF);
        Put16(at + (big_ ? 0 : 2), v >> 16);
    }

    // Appends raw bytes, returning their offset (kept even).
    uint32_t Append(const Bytes& data) {
        if (bytes_.size() % 2) bytes_.push_back(0);
        const uint32_t at = static_cast<uint32_t>(bytes_.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return at;
    }
    uint32_t AppendRational(uint32_t numerator, uint32_t denominator) {
        const uint32_t at = Append(Bytes(8));
        Put32(at, numerator);
        Put32(at + 4, denominator);
        return at;
    }
    uint32_t AppendLongs(const std::vector<uint32_t>& values) {
        const uint32_t at = Append(Bytes(4 * values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            Put32(at + 4 * i, values[i]);
        return at;
    }

    // Appends a directory; returns its offset. The first directory becomes the file's first.
    uint32_t AddDirectory(const std::vector<TiffEntry>& entries, uint32_t next = 0) {
        const uint32_t at = Append(Bytes(2 + 12 * entries.size() + 4));
        Put16(at, static_cast<uint32_t>(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i) {
            const size_t e = at + 2 + 12 * i;
            Put16(e, entries[i].tag);
            Put16(e + 2, entries[i].type);
            Put32(e + 4, entries[i].count);
            if (entries[i].type == kShort && entries[i].count == 1)
                Put16(e + 8, entries[i].value);
            else
                Put32(e + 8, entries[i].value);
        }
        Put32(at + 2 + 12 * entries.size(), next);
        if (directories_.empty()) Put32(4, at);
        directories_.push_back(at);
        return at;
    }
    // Points the directory at `dir` (with `count` entries) to `next`.
    void Link(uint32_t dir, size_t count, uint32_t next) { Put32(dir + 2 + 12 * count, next); }

    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }

private:
    bool big_;
    Bytes bytes_;
    std::vector<uint32_t> directories_;
};

// A minimal bilevel page: width, height, compression, one strip at 8.
inline std::vector<TiffEntry> BilevelEntries(uint32_t width, uint32_t height, uint32_t compression,
                                             uint32_t data_offset = 8) {
    return {{256, kShort, 1, width},       {257, kShort, 1, height}, {258, kShort, 1, 1},
            {259, kShort, 1, compression}, {262, kShort, 1, 0},      {273, kLong, 1, data_offset},
            {279, kLong, 1, 100}};
}

// Each test gets a folder of its own: ctest runs the tests of one fixture in parallel processes,
// and a file of the same name shared between them would be rewritten under another's reads.
inline std::filesystem::path TempFile(const std::string& name, const Bytes& bytes) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string owner =
        test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("none");
    const auto dir = std::filesystem::path(TEST_BINARY_DIR) / "files_test_tmp" / owner;
    std::filesystem::create_directories(dir);
    const auto path = dir / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

// A page of 1728 x 300 pixels in three Group 4 strips at 1000, 2000 and 3000.
inline TiffBuilder ThreeStrips() {
    TiffBuilder t;
    const uint32_t offsets = t.AppendLongs({1000, 2000, 3000});
    const uint32_t counts = t.AppendLongs({11, 22, 33});
    t.AddDirectory({{256, kShort, 1, 1728},
                    {257, kShort, 1, 300},
                    {258, kShort, 1, 1},
                    {259, kShort, 1, 4},
                    {273, kLong, 3, offsets},
                    {278, kShort, 1, 100},
                    {279, kLong, 3, counts}});
    return t;
}

// Resets the library-wide state of the header and file modules before each test.
inline void ResetLibraryState() {
    ResetHeaderState();
    ResetFileAccess();
}

// Tests that start and end with the header and file modules in their reset state.
class LibraryStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLibraryState(); }
    void TearDown() override { ResetLibraryState(); }
};

inline int32_t Open(const std::string& name, int32_t page, ImageHeader& header) {
    header = ImageHeader{};
    return OpenImageHeader(0, name.c_str(), page, &header);
}

// The result of reading the header of page `page` of `name`.
inline int32_t OpenResult(const std::string& name, int32_t page) {
    ImageHeader h;
    return Open(name, page, h);
}

// Passes when the header fields named in `want` ("width 1728, height 2200", names as in
// ImageHeader) hold the given values; the failure names each differing field.
inline ::testing::AssertionResult HasFields(const ImageHeader& h, const std::string& want) {
    const char* const names[] = {"compression",  "width",        "height",
                                 "x_resolution", "y_resolution", "fill_order",
                                 "orientation",  "data_offset",  "data_byte_count"};
    const int64_t values[] = {h.compression,  h.width,        h.height,
                              h.x_resolution, h.y_resolution, h.fill_order,
                              h.orientation,  h.data_offset,  h.data_byte_count};
    std::istringstream in(want);
    std::string wrong, name;
    int64_t value = 0;
    while (in >> name >> value) {
        const size_t at = size_t(std::find(std::begin(names), std::end(names), name) - names);
        if (at == std::size(names)) return ::testing::AssertionFailure() << "no field " << name;
        if (values[at] != value)
            wrong += " " + name + " " + std::to_string(values[at]) + " (want " +
                     std::to_string(value) + ")";
        in.ignore(1);  // the comma
    }
    if (!in.eof()) return ::testing::AssertionFailure() << "unreadable fields: " << want;
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "header differs:" << wrong;
}

// Opens page `page` of `name` and checks the given fields.
inline ::testing::AssertionResult OpensAs(const std::string& name, int32_t page,
                                          const std::string& want) {
    ImageHeader h;
    const int32_t result = Open(name, page, h);
    if (result != 0) return ::testing::AssertionFailure() << "OpenImageHeader gave " << result;
    return HasFields(h, want);
}

}  // namespace pixdoc::files::testing
