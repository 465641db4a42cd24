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
    Bytes lossless = Photo();  // the same frame declared lossless (SOF3)
    lossless[FindMarker(lossless, kSof0) + 1] = 0xC3;
    EXPECT_EQ(HeaderError(lossless), 22);
    EXPECT_EQ(DecodeError(lossless), 22);
    Bytes twelve_bit = Photo();
    twelve_bit[FindMarker(twelve_bit, kSof0) + 4] = 12;
    EXPECT_EQ(DecodeError(twelve_bit), 22);
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
    Bytes d = Photo();
    long dht = FindMarker(d, kDht);
    Bytes bad_class = d;
    bad_class[dht + 4] = 0x23;  // class 2
    EXPECT_EQ(DecodeError(bad_class), 30);
    Bytes bad_number = d;
    bad_number[dht + 4] = 0x03;  // table number 3
    EXPECT_EQ(DecodeError(bad_number), 30);
    Bytes too_many = d;
    too_many[dht + 4 + 16] = 255;  // 255 codes of length 16 on top of the others
    EXPECT_EQ(DecodeError(too_many), 28);
    Bytes short_table = d;
    short_table[dht + 4 + 9] = static_cast<uint8_t>(short_table[dht + 4 + 9] + 1);
    EXPECT_EQ(DecodeError(short_table), 25);  // one symbol more than the segment holds
    Bytes oversubscribed = d;
    oversubscribed[dht + 4 + 1] = 3;  // three codes of length 1
    EXPECT_EQ(DecodeError(oversubscribed), 25);

    long dqt = FindMarker(d, kDqt);
    Bytes bad_id = d;
    bad_id[dqt + 4] = 0x04;
    EXPECT_EQ(HeaderError(bad_id), 33);
    Bytes bad_precision = d;
    bad_precision[dqt + 4] = 0x20;
    EXPECT_EQ(HeaderError(bad_precision), 33);
    Bytes sixteen_bit = d;
    sixteen_bit[dqt + 4] = 0x10;  // 16-bit values need 128 bytes
    EXPECT_EQ(HeaderError(sixteen_bit), 32);
}

TEST(JpegMarkers, Application0) {
    Bytes d = Photo();
    long app0 = FindMarker(d, kApp0);
    Bytes dpi = d;
    dpi[app0 + 12] = 0x01;  // X density 300
    dpi[app0 + 13] = 0x2C;
    // A second, non-JFIF APP0 (an extension segment) changes nothing.
    Bytes jfxx = Insert(dpi, app0 + 18, {0xFF, kApp0, 0, 8, 'J', 'F', 'X', 'X', 0, 0x13});
    for (const Bytes& file : {dpi, jfxx}) {
        Decoded r = Decode(file);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.header.resolution, 300);
    }
    Bytes zero = d;
    zero[app0 + 12] = zero[app0 + 13] = 0;
    EXPECT_EQ(Decode(zero).header.resolution, 0);
    Bytes none = d;
    none[app0 + 4] = 'X';  // no longer JFIF
    EXPECT_EQ(Decode(none).header.resolution, 0);
}

TEST(JpegTables, MissingTablesAreReported) {
    Bytes d = Photo();
    long sof = FindMarker(d, kSof0);
    Bytes no_quant = d;
    no_quant[sof + 10 + 2] = 3;  // first component uses quantisation table 3, never defined
    EXPECT_EQ(DecodeError(no_quant), 36);
    long sos = FindMarker(d, kSos);
    Bytes no_dc = d;
    no_dc[sos + 6] = 0x20;  // DC table 2, never defined
    EXPECT_EQ(DecodeError(no_dc), 26);
    Bytes no_ac = d;
    no_ac[sos + 6] = 0x02;
    EXPECT_EQ(DecodeError(no_ac), 27);
    Bytes dc_out_of_range = d;
    dc_out_of_range[sos + 6] = 0x50;
    EXPECT_EQ(DecodeError(dc_out_of_range), 26);
    Bytes unknown_component = d;
    unknown_component[sos + 5] = 9;
    EXPECT_EQ(DecodeError(unknown_component), 20);
}

TEST(JpegRestart, MarkersMustRunInOrder) {
    Bytes d = ReadFile(Fixture("restart_rows.jpg"));
    ASSERT_EQ(Decode(d).result, 0);
    Bytes skipped = d;
    skipped[FindMarker(d, kRst1) + 1] = 0xD2;  // RST0, RST2: one number skipped
    EXPECT_EQ(DecodeError(skipped), 37);
    Bytes missing = d;
    missing[FindMarker(d, kRst1) + 1] = 0x00;  // the marker is gone (its bytes turn to data)
    EXPECT_EQ(DecodeError(missing), 37);
}

TEST(JpegRestart, IntervalZeroMakesMarkersUnexpected) {
    Bytes d = ReadFile(Fixture("restart_rows.jpg"));
    long dri = FindMarker(d, kDri);
    d[dri + 4] = d[dri + 5] = 0;
    EXPECT_EQ(DecodeError(d), 23);
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

TEST(JpegDamage, ProgressiveScanOfAnUndefinedComponent) {
    Bytes d = ReadFile(Fixture("progressive420.jpg"));
    long sos = FindMarker(d, kSos, 3);
    d[sos + 5] = 7;
    EXPECT_EQ(DecodeError(d), 20);
}

TEST(JpegDamage, HugeDimensionsNeedNoHugeMemory) {
    Bytes progressive = ReadFile(Fixture("progressive420.jpg"));
    long sof = FindMarker(progressive, kSof2);
    progressive[sof + 5] = progressive[sof + 6] = 0xFF;  // 65535 rows
    progressive[sof + 7] = progressive[sof + 8] = 0xFF;  // 65535 columns
    EXPECT_EQ(DecodeError(progressive), 54);
    Bytes baseline = Photo();
    sof = FindMarker(baseline, kSof0);
    baseline[sof + 5] = baseline[sof + 6] = 0xFF;
    baseline[sof + 7] = baseline[sof + 8] = 0xFF;
    EXPECT_EQ(DecodeError(baseline), 9);  // the data runs out long before
    Bytes zero = Photo();
    zero[sof + 5] = zero[sof + 6] = 0;
    EXPECT_EQ(DecodeError(zero), 8);
}

TEST(JpegSampling, FractionalRatiosAreRefused) {
    // Chroma at 2/3 of the luma's width (cjpeg and djpeg refuse these too).
    Bytes horizontal = Photo();
    long sof = FindMarker(horizontal, kSof0);
    horizontal[sof + 11] = 0x31;
    horizontal[sof + 14] = 0x21;
    EXPECT_EQ(DecodeError(horizontal), 39);
    Bytes vertical = Photo();
    vertical[sof + 11] = 0x23;  // luma 2x3 and Cb 1x2: 3 rows of luma over 2 of Cb
    vertical[sof + 14] = 0x12;
    EXPECT_EQ(DecodeError(vertical), 40);
}

TEST(JpegSampling, GreyDeclaring2x2IsDecodedAs1x1) {
    Bytes d = ReadFile(Fixture("grey_q85.jpg"));
    Bytes declared = d;
    declared[FindMarker(d, kSof0) + 11] = 0x22;
    Decoded a = Decode(d), b = Decode(declared);
    ASSERT_EQ(b.result, 0);
    EXPECT_EQ(a.image.pixels, b.image.pixels);
}

TEST(JpegWindow, OnlyTheWindowsRowsAreDelivered) {
    Bytes d = Photo();
    Decoded full = Decode(d);
    DecodeOptions options;
    options.first_row = 100;
    options.rows = 50;
    pixdoc::jpeg::MemoryByteSource source(d.data(), d.size());
    CollectingSink sink(601, 397, 3);
    ASSERT_EQ(pixdoc::jpeg::DecodeJpeg(source, sink, options), 0);
    EXPECT_FALSE(sink.contract_broken);
    ASSERT_FALSE(sink.first_rows.empty());
    EXPECT_EQ(sink.first_rows.front(), 100);
    EXPECT_EQ(sink.next_row, 150);
    size_t row = size_t{601} * 3;
    EXPECT_TRUE(std::equal(full.image.pixels.begin() + row * 100,
                           full.image.pixels.begin() + row * 150,
                           sink.image.pixels.begin() + row * 100));
}

TEST(JpegWindow, WindowsOddEdgesSplitRowsSharingChromaAlike) {
    // 4:2:0 rows are converted in pairs sharing a chroma row; a window starting or ending
    // inside a pair must still give the full decode's rows, with SIMD and without.
    Bytes d = Photo();
    Decoded full = Decode(d);
    const size_t row = size_t{601} * 3;
    for (bool simd : {true, false}) {
        for (auto [first, count] : {std::pair{101, 49}, std::pair{15, 2}, std::pair{396, 1}}) {
            DecodeOptions options;
            options.use_simd = simd;
            options.first_row = first;
            options.rows = count;
            pixdoc::jpeg::MemoryByteSource source(d.data(), d.size());
            CollectingSink sink(601, 397, 3);
            ASSERT_EQ(pixdoc::jpeg::DecodeJpeg(source, sink, options), 0);
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
