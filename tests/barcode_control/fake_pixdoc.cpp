#include "tests/barcode_control/fake_pixdoc.h"

#include <cstring>

namespace barlynx::testing {
namespace {

FakePixdoc fake;
int searches = 0;  // searches run since the last header read

int32_t WriteSearch(char* result, int32_t size) {
    const int index = searches++ % 2;
    if (size > 0) std::strncpy(result, fake.texts[index].c_str(), static_cast<size_t>(size) - 1);
    return fake.search_results[index];
}

int32_t GetImageInfoExtended(const char* name, int32_t page, int32_t* width, int32_t* height,
                             int32_t*, int32_t*, int32_t*, int32_t* compression, int32_t*,
                             int32_t*) {
    fake.calls.push_back("header " + std::string(name) + " page=" + std::to_string(page));
    searches = 0;
    *width = fake.width;
    *height = fake.height;
    *compression = fake.compression;
    return fake.header_result;
}

int32_t InsertData(int32_t insert) {
    fake.calls.push_back("insert-data " + std::to_string(insert));
    return fake.insert_data_result;
}

int32_t ZoneHeight(int32_t height) {
    fake.calls.push_back("zone " + std::to_string(height));
    return fake.zone_height_result;
}

int32_t SeekBarCode(const char* name, int16_t page, int16_t x1, int16_t y1, int16_t x2, int16_t y2,
                    int16_t direction, int16_t mask, int16_t threshold, int16_t threshold2,
                    int16_t span, int16_t min_length, int16_t max_results, char* result,
                    int16_t result_size) {
    fake.calls.push_back(
        "seek " + std::string(name) + " page=" + std::to_string(page) +
        " area=" + std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
        std::to_string(y2) + " dir=" + std::to_string(direction) + " mask=" + std::to_string(mask) +
        " thresholds=" + std::to_string(threshold) + "," + std::to_string(threshold2) +
        " span=" + std::to_string(span) + " min=" + std::to_string(min_length) +
        " max=" + std::to_string(max_results) + " size=" + std::to_string(result_size));
    return WriteSearch(result, result_size);
}

int32_t StartColorEdit(int32_t width, int32_t height, int32_t red, int32_t green, int32_t blue) {
    fake.calls.push_back("start " + std::to_string(width) + "x" + std::to_string(height) + " " +
                         std::to_string(red) + "," + std::to_string(green) + "," +
                         std::to_string(blue));
    if (fake.start_result == 0) ++fake.buffers_open;
    return fake.start_result;
}

int32_t MergeImage(const char* name, int32_t page, int32_t a, int32_t b, int32_t c, int32_t d,
                   int32_t e, int32_t f, int32_t g, int32_t h) {
    const bool whole =
        a == -1 && b == -1 && c == -1 && d == -1 && e == -1 && f == -1 && g == -1 && h == -1;
    fake.calls.push_back("merge " + std::string(name) + " page=" + std::to_string(page) +
                         (whole ? " whole" : " part"));
    return fake.merge_result;
}

int32_t ColourSeek(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t direction, int32_t mask,
                   int32_t threshold, int32_t threshold2, int32_t span, int32_t min_length,
                   int32_t max_results, char* result, int32_t result_size, int32_t grey) {
    fake.calls.push_back(
        "colour-seek area=" + std::to_string(x1) + "," + std::to_string(y1) + "," +
        std::to_string(x2) + "," + std::to_string(y2) + " dir=" + std::to_string(direction) +
        " mask=" + std::to_string(mask) + " thresholds=" + std::to_string(threshold) + "," +
        std::to_string(threshold2) + " span=" + std::to_string(span) +
        " min=" + std::to_string(min_length) + " max=" + std::to_string(max_results) +
        " size=" + std::to_string(result_size) + " grey=" + std::to_string(grey));
    return WriteSearch(result, result_size);
}

int32_t Adaptive(int32_t on) {
    fake.calls.push_back("adaptive " + std::to_string(on));
    return 0;
}

int32_t ColorEditEnd(int32_t reserved) {
    fake.calls.push_back("end " + std::to_string(reserved));
    --fake.buffers_open;
    return fake.end_result;
}

}  // namespace

FakePixdoc& Fake() {
    return fake;
}

void ResetFake() {
    fake = FakePixdoc{};
    searches = 0;
}

decltype(&PXinSeekBarCodeAdaptive) AdaptiveSetter() {
    return &Adaptive;
}

PixdocExports Exports() {
    PixdocExports e{};
    e.get_image_info_extended = &GetImageInfoExtended;
    e.seek_bar_code_insert_data = &InsertData;
    e.set_zone_height = &ZoneHeight;
    e.seek_bar_code = &SeekBarCode;
    e.start_color_edit = &StartColorEdit;
    e.color_edit_merge_image = &MergeImage;
    e.color_edit_seek_bar_code = &ColourSeek;
    e.color_edit_end = &ColorEditEnd;
    return e;
}

}  // namespace barlynx::testing
