#include "barcode_control/page_search.h"

#include <array>
#include <limits>

#include "barcode_control/search_steps.h"
#include "pixdoc32.h"

namespace barlynx {
namespace {

constexpr int32_t kNothingFound = 32;
constexpr int32_t kInsertData = 1;        // every read followed by its position
constexpr int16_t kDefaultThreshold = 0;  // the library's defaults by resolution
constexpr int16_t kThresholdSpan = 4;
constexpr int16_t kMinimumLength = 4;
constexpr int16_t kMaxResults = 32;
constexpr int32_t kWhite = 255;
constexpr int32_t kWholePage = -1;
constexpr int32_t kEndReserved = 0;

constexpr size_t kSearchBufferSize = 1000;
using SearchBuffer = std::array<char, kSearchBufferSize>;

struct Header {
    int32_t width = 0;
    int32_t height = 0;
    int32_t compression = 0;
};

struct Directions {
    int16_t first;
    bool second;  // a second search in direction 1
};

Directions DirectionsOf(int16_t degree) {
    if (degree == 1) return {1, false};
    if (degree == 2) return {0, true};
    return {0, false};
}

// The bilevel search takes 16-bit edges; a page beyond them is searched whole through the
// library's own rule for an empty rectangle.
int16_t BilevelEdge(int32_t edge) {
    return edge <= std::numeric_limits<int16_t>::max() ? static_cast<int16_t>(edge) : 0;
}

// Runs steps until one fails; the first failure is shown and kept.
class StepRunner {
public:
    explicit StepRunner(const std::function<void(std::string_view)>& show_message)
        : show_message_(show_message) {}

    bool Ok(const SearchStep& step, int32_t result) {
        if (result == 0) return true;
        show_message_(StepMessage(step, result));
        error_ = result + step.offset;
        return false;
    }
    // A search that found nothing has still run.
    bool Searched(const SearchStep& step, int32_t result) {
        return Ok(step, result == kNothingFound ? 0 : result);
    }
    int32_t error() const { return error_; }

private:
    const std::function<void(std::string_view)>& show_message_;
    int32_t error_ = 0;
};

struct SearchCall {
    const PixdocExports& exports;
    const SearchSettings& settings;
    const std::string& file_name;
    int16_t page;
    int16_t bar_code_type;
    Header header;
    Directions directions;
};

// The option is library-wide: it is set, on or off, before every search that the library lets
// choose. Its setter cannot fail.
bool SetAdaptive(const SearchCall& c) {
    if (c.exports.seek_bar_code_adaptive) c.exports.seek_bar_code_adaptive(c.settings.adaptive);
    return true;
}

void SearchBilevel(const SearchCall& c, StepRunner& run, SearchBuffer& first,
                   SearchBuffer& second) {
    const PixdocExports& e = c.exports;
    auto search = [&](int16_t direction, SearchBuffer& buffer) {
        return e.seek_bar_code(c.file_name.c_str(), c.page, 0, 0, BilevelEdge(c.header.width),
                               BilevelEdge(c.header.height), direction, c.bar_code_type,
                               kDefaultThreshold, kDefaultThreshold, kThresholdSpan, kMinimumLength,
                               kMaxResults, buffer.data(), static_cast<int16_t>(buffer.size()));
    };
    if (!run.Ok(kBilevelInsertDataStep, e.seek_bar_code_insert_data(kInsertData))) return;
    if (!run.Ok(kBilevelZoneHeightStep, e.set_zone_height(c.settings.exclusion_height))) return;
    SetAdaptive(c);
    if (!run.Searched(kBilevelSearch1Step, search(c.directions.first, first))) return;
    if (c.directions.second) run.Searched(kBilevelSearch2Step, search(1, second));
}

void SearchColour(const SearchCall& c, StepRunner& run, SearchBuffer& first, SearchBuffer& second) {
    const PixdocExports& e = c.exports;
    auto search = [&](int32_t direction, SearchBuffer& buffer) {
        return e.color_edit_seek_bar_code(
            0, 0, c.header.width, c.header.height, direction, c.bar_code_type, kDefaultThreshold,
            kDefaultThreshold, kThresholdSpan, kMinimumLength, kMaxResults, buffer.data(),
            static_cast<int32_t>(buffer.size()), c.settings.bw_threshold);
    };
    if (!run.Ok(kStartColorStep,
                e.start_color_edit(c.header.width, c.header.height, kWhite, kWhite, kWhite)))
        return;
    // The buffer is the library's only one: it is ended whatever happens after its start.
    const bool searched =
        run.Ok(kColorMergeStep, e.color_edit_merge_image(
                                    c.file_name.c_str(), c.page, kWholePage, kWholePage, kWholePage,
                                    kWholePage, kWholePage, kWholePage, kWholePage, kWholePage)) &&
        run.Ok(kColorInsertDataStep, e.seek_bar_code_insert_data(kInsertData)) &&
        run.Ok(kColorZoneHeightStep, e.set_zone_height(c.settings.exclusion_height)) &&
        SetAdaptive(c) && run.Searched(kColorSearch1Step, search(c.directions.first, first)) &&
        (!c.directions.second || run.Searched(kColorSearch2Step, search(1, second)));
    const int32_t ended = e.color_edit_end(kEndReserved);
    if (searched) run.Ok(kColorEndStep, ended);
}

std::string TextOf(SearchBuffer& buffer) {
    buffer.back() = '\0';
    return buffer.data();
}

}  // namespace

PageSearchResult SearchPage(const PixdocExports& exports, const SearchSettings& settings,
                            const std::string& file_name, int16_t page, int16_t bar_code_type,
                            const std::function<void(std::string_view)>& show_message) {
    StepRunner run(show_message);
    Header header;
    int32_t data_offset = 0, x_resolution = 0, y_resolution = 0, fill_order = 0, negative = 0;
    const int32_t read = exports.get_image_info_extended(
        file_name.c_str(), page, &header.width, &header.height, &data_offset, &x_resolution,
        &y_resolution, &header.compression, &fill_order, &negative);
    if (!run.Ok(kHeaderStep, read)) return {run.error(), {}};

    SearchBuffer first{};
    SearchBuffer second{};
    const SearchCall call{
        exports, settings, file_name, page, bar_code_type, header, DirectionsOf(settings.degree)};
    if (header.compression <= PX_CODE_PACKBITS)
        SearchBilevel(call, run, first, second);
    else
        SearchColour(call, run, first, second);
    if (run.error() != 0) return {run.error(), {}};
    return {0, TextOf(first) + TextOf(second)};
}

}  // namespace barlynx
