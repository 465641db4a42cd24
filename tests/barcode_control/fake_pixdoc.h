// A stand-in for the imaging library behind the control's export table: each step answers what
// the test sets, the searches write the texts the test gives, and every call is logged, so that
// each failing step and each export case can be produced on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barcode_control/pixdoc_exports.h"

namespace barlynx::testing {

struct FakePixdoc {
    // The page header.
    int32_t width = 2480;
    int32_t height = 3508;
    int32_t compression = 1;  // Group 4; above 10 takes the colour path
    // Results by step.
    int32_t header_result = 0;
    int32_t insert_data_result = 0;
    int32_t zone_height_result = 0;
    int32_t search_results[2] = {0, 0};  // first and second search, either path
    int32_t start_result = 0;
    int32_t merge_result = 0;
    int32_t end_result = 0;
    // What the first and second search write into the result buffer.
    std::string texts[2];

    // What was called, in order, with the arguments that matter ("search dir=1 page=2 ...").
    std::vector<std::string> calls;
    int buffers_open = 0;  // colour buffers started minus ends asked for
};

// A message host that keeps the texts shown.
class RecordedMessages : public MessageHost {
public:
    void ShowMessage(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

// The fake the exports of Exports() act on; reset for every test.
FakePixdoc& Fake();
void ResetFake();

// An export table whose functions are the fake's; the optional adaptive setter is left out, as
// in a library without it.
PixdocExports Exports();
// The fake's adaptive setter ("adaptive N" in the calls).
decltype(&PXinSeekBarCodeAdaptive) AdaptiveSetter();

}  // namespace barlynx::testing
