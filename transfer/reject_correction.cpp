#include "transfer/reject_correction.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace scantora {
namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Whether every character of `after` that is no digit is, in order, one of `before`'s.
bool OnlyDigitsAdded(std::string_view before, std::string_view after) {
    std::size_t from = 0;
    for (const char c : after) {
        if (IsDigit(c)) continue;
        from = before.find(c, from);
        if (from == std::string_view::npos) return false;
        ++from;
    }
    return true;
}

// `low` and `high` in order, widened around their middle to `smallest`.
void Span(long& low, long& high, long smallest) {
    if (low > high) std::swap(low, high);
    if (high - low >= smallest) return;
    const long middle = low + (high - low) / 2;
    low = middle - smallest / 2;
    high = low + smallest;
}

barlynx::PageArea Ordered(barlynx::PageArea area) {
    Span(area.left, area.right, kSmallestNeighbourhood);
    Span(area.top, area.bottom, kSmallestNeighbourhood);
    return area;
}

}  // namespace

RejectCorrectionModel::RejectCorrectionModel(const barlynx::CorrectionRequest& request)
    : text_(request.barcode_text),
      file_(request.file_name),
      page_(request.page),
      area_(Ordered(request.neighbourhood)) {}

bool RejectCorrectionModel::Accepts(std::string_view typed) const {
    return OnlyDigitsAdded(text_, typed);
}

bool RejectCorrectionModel::Edit(std::string_view typed) {
    if (!Accepts(typed)) return false;
    text_ = typed;
    return true;
}

bool RejectCorrectionModel::ShowsPage() const {
    std::error_code error;
    return !file_.empty() && std::filesystem::is_regular_file(file_, error);
}

}  // namespace scantora
