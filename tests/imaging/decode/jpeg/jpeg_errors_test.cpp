// Refused codings, the described error codes, restart handling and damaged streams.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/decode/jpeg/jpeg_markers.h"
#include "tests/imaging/decode/jpeg/jpeg_stream_edit.h"
#include "tests/imaging/decode/jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;
using pixdoc::jpeg::DecodeOptions;

constexpr int kSof0 = 0xC0, kSof2 = 0xC2, kDht = 0xC4, kRst0 = 0xD0, kRst1 = 0xD1;
constexpr int kEoi = 0xD9, kSos = 0xDA, kDqt = 0xDB, kDri = 0xDD, kApp0 = 0xE0;

int HeaderError(const Bytes& data) {
    pixdoc::jpeg::MemoryByteSource source(data.data(), data.size());
    pixdoc::jpeg::HeaderInfo info;
    int error = 0;
    pixdoc::SetColourError(0);
    int result = pixdoc::jpeg::ReadJpegHeader(source, {}, info, &error);
    EXPECT_EQ(result < 0, error != 0);
    EXPECT_EQ(pixdoc::GetColourError(), error);
    return error;
}

int DecodeError(const Bytes& data, DecodeOptions options = {}) {
    pixdoc::jpeg::MemoryByteSource source(data.data(), data.size());
    struct Discard : pixdoc::jpeg::RowSink {
        int DeliverRows(int, int, int, int, const uint8_t*) override { return 0; }
    } discard;
    int error = 0;
    pixdoc::SetColourError(0);
    int result = pixdoc::jpeg::DecodeJpeg(source, discard, options, &error);
    EXPECT_EQ(result < 0, error != 0);
    return error;
}

Bytes Photo() {
    return ReadFile(Fixture("baseline420_q90.jpg"));
}

TEST(JpegRefused, ArithmeticAndLosslessGiveError22) {
    EXPECT_EQ(HeaderError(ReadFile(Fixture("arithmetic.jpg"))), 22);
    EXPECT_EQ(DecodeError(ReadFile(Fixture("arithmetic.jpg"))), 22);
    EXPECT_EQ(DecodeError(ReadFile(Fixture("arithmetic_progressive.jpg"))), 22);
    const Bytes d = Photo();
    const long sof = FindMarker(d, kSof0);
    const Bytes lossless = Patched(d, {{sof + 1, 0xC3}});  // the same frame declared as SOF3
    EXPECT_EQ(HeaderError(lossless), 22);
    EXPECT_EQ(DecodeError(lossless), 22);
    EXPECT_EQ(DecodeError(Patched(d, {{sof + 4, 12}})), 22);  // 12-bit samples
}

TEST(JpegMarkers, FrameOrderErrors) {
    EXPECT_EQ(HeaderError({0xFF, 0xD8, 0xFF, kSos, 0, 8, 1, 1, 0, 0, 63, 0}), 20);
    EXPECT_EQ(DecodeError({0xFF, 0xD8, 0xFF, kSos, 0, 8, 1, 1, 0, 0, 63, 0}), 20);
    EXPECT_EQ(HeaderError({0xFF, 0xD8, 0xFF, kEoi}), 21);
    EXPECT_EQ(DecodeError({0xFF, 0xD8, 0xFF, kEoi}), 21);
    EXPECT_EQ(DecodeError({0xFF, 0xD8}), 4);  // fewer than 3 bytes
    EXPECT_EQ(HeaderError({0xFF, 0xD8, 0xFF}), 9);
    // A restart marker outside entropy-coded data.
    EXPECT_EQ(HeaderError({0xFF, 0xD8, 0xFF, kRst0, 0xFF, kEoi}), 23);
}

TEST(JpegMarkers, SegmentsAreCheckedAgainstTheirLengths) {
    const Bytes d = Photo();
    const long dht = FindMarker(d, kDht), dqt = FindMarker(d, kDqt);
    EXPECT_EQ(DecodeError(Patched(d, {{dht + 4, 0x23}})), 30);  // class 2
    EXPECT_EQ(DecodeError(Patched(d, {{dht + 4, 0x03}})), 30);  // table number 3
    // 255 codes of length 16 on top of the others.
    EXPECT_EQ(DecodeError(Patched(d, {{dht + 4 + 16, 255}})), 28);
    // One symbol more than the segment holds.
    EXPECT_EQ(DecodeError(Patched(d, {{dht + 4 + 9, uint8_t(d[dht + 4 + 9] + 1)}})), 25);
    EXPECT_EQ(DecodeError(Patched(d, {{dht + 4 + 1, 3}})), 25);  // three codes of length 1
    EXPECT_EQ(HeaderError(Patched(d, {{dqt + 4, 0x04}})), 33);   // table 4
    EXPECT_EQ(HeaderError(Patched(d, {{dqt + 4, 0x20}})), 33);   // precision 2
    EXPECT_EQ(HeaderError(Patched(d, {{dqt + 4, 0x10}})), 32);   // 16-bit values need 128 bytes
}

TEST(JpegMarkers, Application0) {
    const Bytes d = Photo();
    const long app0 = FindMarker(d, kApp0);
    const Bytes dpi = Patched(d, {{app0 + 12, 0x01}, {app0 + 13, 0x2C}});  // X density 300
    // A second, non-JFIF APP0 (an extension segment) changes nothing.
    Bytes jfxx = Insert(dpi, app0 + 18, {0xFF, kApp0, 0, 8, 'J', 'F', 'X', 'X', 0, 0x13});
    for (const Bytes& file : {dpi, jfxx}) {
        Decoded r = Decode(file);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.header.resolution, 300);
    }
    EXPECT_EQ(Decode(Patched(d, {{app0 + 12, 0}, {app0 + 13, 0}})).header.resolution, 0);
    EXPECT_EQ(Decode(Patched(d, {{app0 + 4, 'X'}})).header.resolution, 0);  // no longer JFIF
}

TEST(JpegTables, MissingTablesAreReported) {
    const Bytes d = Photo();
    const long sof = FindMarker(d, kSof0), sos = FindMarker(d, kSos);
    // The first component uses quantisation table 3, never defined.
    EXPECT_EQ(DecodeError(Patched(d, {{sof + 10 + 2, 3}})), 36);
    EXPECT_EQ(DecodeError(Patched(d, {{sos + 6, 0x20}})), 26);  // DC table 2, never defined
    EXPECT_EQ(DecodeError(Patched(d, {{sos + 6, 0x02}})), 27);  // AC table 2
    EXPECT_EQ(DecodeError(Patched(d, {{sos + 6, 0x50}})), 26);  // DC table 5: out of range
    EXPECT_EQ(DecodeError(Patched(d, {{sos + 5, 9}})), 20);     // unknown component
    // A progressive scan of an undefined component.
    const Bytes progressive = ReadFile(Fixture("progressive420.jpg"));
    EXPECT_EQ(DecodeError(Patched(progressive, {{FindMarker(progressive, kSos, 3) + 5, 7}})), 20);
}

TEST(JpegRestart, MarkersMustRunInOrderAndNeedAnInterval) {
    const Bytes d = ReadFile(Fixture("restart_rows.jpg"));
    ASSERT_EQ(Decode(d).result, 0);
    const long rst1 = FindMarker(d, kRst1), dri = FindMarker(d, kDri);
    EXPECT_EQ(DecodeError(Patched(d, {{rst1 + 1, 0xD2}})), 37);  // RST0, RST2: one skipped
    // The marker is gone (its bytes turn to data).
    EXPECT_EQ(DecodeError(Patched(d, {{rst1 + 1, 0x00}})), 37);
    // An interval of zero makes the markers unexpected.
    EXPECT_EQ(DecodeError(Patched(d, {{dri + 4, 0}, {dri + 5, 0}})), 23);
}

TEST(JpegRestart, EoiInPlaceOfAMarkerEndsTheData) {
    Bytes d = ReadFile(Fixture("restart_rows.jpg"));
    Bytes cut = CutAndAppend(d, FindMarker(d, kRst0, 2), {0xFF, kEoi});
    Decoded r = Decode(cut);
    EXPECT_EQ(r.result, 0);
    Decoded full = Decode(d);
    // The three intervals before the cut (one MCU row of 16 each) come out as in the full file.
    size_t bytes = size_t{601} * 3 * 48;
    EXPECT_TRUE(std::equal(r.image.pixels.begin(), r.image.pixels.begin() + bytes,
                           full.image.pixels.begin()));
    // The EOI stands in for the third RST0, after 17 intervals of one MCU row: the row it
    // stands in comes out with no coefficients at all, one flat colour, nothing left over from
    // the row before.
    const size_t row = size_t{601} * 3;
    ASSERT_GE(r.image.pixels.size(), row * 18 * 16);
    const uint8_t* flat = r.image.pixels.data() + row * 17 * 16;
    for (size_t at = 0; at < row * 16; at += 3)
        ASSERT_TRUE(std::equal(flat, flat + 3, flat + at)) << "byte " << at;
}

TEST(JpegDamage, FailureReportedByTheMarkerThatFollows) {
    Bytes d = Photo();
    long sos = FindMarker(d, kSos);
    long middle = (sos + static_cast<long>(d.size())) / 2;
    EXPECT_EQ(DecodeError(CutAndAppend(d, middle, {0xFF, kEoi})), 9);
    EXPECT_EQ(DecodeError(CutAndAppend(d, middle, {0xFF, kRst0})), 23);
    EXPECT_EQ(DecodeError(CutAndAppend(d, middle, {})), 9);  // truncated scan
    // A marker segment in the middle of the entropy-coded data.
    EXPECT_EQ(DecodeError(Insert(d, middle, {0xFF, kDht, 0, 2})), 9);
    Bytes progressive = ReadFile(Fixture("progressive420.jpg"));
    long scan2 = FindMarker(progressive, kSos, 1);
    EXPECT_EQ(DecodeError(CutAndAppend(progressive, scan2 + 40, {})), 9);
}

TEST(JpegDamage, HugeDimensionsNeedNoHugeMemory) {
    // 65535 rows of 65535 columns.
    const Bytes progressive = ReadFile(Fixture("progressive420.jpg"));
    const long sof2 = FindMarker(progressive, kSof2);
    EXPECT_EQ(
        DecodeError(Patched(
            progressive, {{sof2 + 5, 0xFF}, {sof2 + 6, 0xFF}, {sof2 + 7, 0xFF}, {sof2 + 8, 0xFF}})),
        54);
    const Bytes baseline = Photo();
    const long sof = FindMarker(baseline, kSof0);
    // The data runs out long before.
    EXPECT_EQ(DecodeError(Patched(
                  baseline, {{sof + 5, 0xFF}, {sof + 6, 0xFF}, {sof + 7, 0xFF}, {sof + 8, 0xFF}})),
              9);
    EXPECT_EQ(DecodeError(Patched(baseline, {{sof + 5, 0}, {sof + 6, 0}})), 8);  // zero rows
}

TEST(JpegSampling, FractionalRatiosAreRefused) {
    // Chroma at 2/3 of the luma's width (cjpeg and djpeg refuse these too).
    const Bytes d = Photo();
    const long sof = FindMarker(d, kSof0);
    EXPECT_EQ(DecodeError(Patched(d, {{sof + 11, 0x31}, {sof + 14, 0x21}})), 39);
    // Luma 2x3 and Cb 1x2: 3 rows of luma over 2 of Cb.
    EXPECT_EQ(DecodeError(Patched(d, {{sof + 11, 0x23}, {sof + 14, 0x12}})), 40);
}

TEST(JpegSampling, GreyDeclaring2x2IsDecodedAs1x1) {
    const Bytes d = ReadFile(Fixture("grey_q85.jpg"));
    Decoded a = Decode(d), b = Decode(Patched(d, {{FindMarker(d, kSof0) + 11, 0x22}}));
    ASSERT_EQ(b.result, 0);
    EXPECT_EQ(a.image.pixels, b.image.pixels);
}

TEST(JpegWindow, OnlyTheWindowsRowsAreDeliveredAsInTheFullDecode) {
    // 4:2:0 rows are converted in pairs sharing a chroma row; a window starting or ending
    // inside a pair must still give the full decode's rows, with SIMD and without.
    Bytes d = Photo();
    Decoded full = Decode(d);
    const size_t row = size_t{601} * 3;
    for (bool simd : {true, false}) {
        for (auto [first, count] :
             {std::pair{100, 50}, std::pair{101, 49}, std::pair{15, 2}, std::pair{396, 1}}) {
            DecodeOptions options;
            options.use_simd = simd;
            options.first_row = first;
            options.rows = count;
            pixdoc::jpeg::MemoryByteSource source(d.data(), d.size());
            CollectingSink sink(601, 397, 3);
            ASSERT_EQ(pixdoc::jpeg::DecodeJpeg(source, sink, options), 0);
            EXPECT_FALSE(sink.contract_broken);
            ASSERT_FALSE(sink.first_rows.empty());
            EXPECT_EQ(sink.first_rows.front(), first);
            EXPECT_EQ(sink.next_row, first + count);
            EXPECT_TRUE(std::equal(full.image.pixels.begin() + row * first,
                                   full.image.pixels.begin() + row * (first + count),
                                   sink.image.pixels.begin() + row * first))
                << "simd " << simd << " first " << first;
        }
    }
}

TEST(JpegWindow, RefusingSinkStopsWithError14) {
    Bytes d = Photo();
    pixdoc::jpeg::MemoryByteSource source(d.data(), d.size());
    CollectingSink sink(601, 397, 3, 2);
    int error = 0;
    EXPECT_LT(pixdoc::jpeg::DecodeJpeg(source, sink, {}, &error), 0);
    EXPECT_EQ(error, 14);
    EXPECT_EQ(sink.calls, 3);
}

}  // namespace
