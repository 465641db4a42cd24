#include "barcode_control/barlynx_ctrl.h"

#include "barcode_control/page_search.h"

namespace barlynx {
namespace {

template <typename T>
bool Assign(T& property, const PropertyValue& value) {
    const T* typed = std::get_if<T>(&value);
    if (!typed) return false;
    property = *typed;
    return true;
}

}  // namespace

std::optional<PropertyValue> CBarlynxCtrl::GetProperty(DispId id) const {
    switch (id) {
        case DispId::kExclusionHeight:
            return properties_.exclusion_height;
        case DispId::kDegree:
            return properties_.degree;
        case DispId::kBWThreshold:
            return properties_.bw_threshold;
        case DispId::kBWThresholdNeg:
            return properties_.bw_threshold_neg;
        case DispId::kBWRotate:
            return properties_.bw_rotate;
        case DispId::kRejectCorrection:
            return properties_.reject_correction;
        case DispId::kAdaptive:
            return properties_.adaptive;
        case DispId::kGetAllBarCode:
            break;
    }
    return std::nullopt;
}

bool CBarlynxCtrl::SetProperty(DispId id, const PropertyValue& value) {
    bool set = false;
    switch (id) {
        case DispId::kExclusionHeight:
            set = Assign(properties_.exclusion_height, value);
            break;
        case DispId::kDegree:
            set = Assign(properties_.degree, value);
            break;
        case DispId::kBWThreshold:
            set = Assign(properties_.bw_threshold, value);
            break;
        case DispId::kBWThresholdNeg:
            set = Assign(properties_.bw_threshold_neg, value);
            break;
        case DispId::kBWRotate:
            set = Assign(properties_.bw_rotate, value);
            break;
        case DispId::kRejectCorrection:
            set = Assign(properties_.reject_correction, value);
            break;
        case DispId::kAdaptive:
            set = Assign(properties_.adaptive, value);
            break;
        case DispId::kGetAllBarCode:
            break;
    }
    modified_ = modified_ || set;
    return set;
}

void CBarlynxCtrl::SetHost(MessageHost* messages, CorrectionDialog* correction) {
    messages_ = messages;
    correction_ = correction;
}

void CBarlynxCtrl::ShowMessage(std::string_view text) const {
    if (messages_) messages_->ShowMessage(text);
}

std::optional<std::string> CBarlynxCtrl::Correct(std::string_view file_name, int16_t page,
                                                 std::string_view text,
                                                 const Coordinates& at) const {
    if (!correction_) return std::nullopt;
    CorrectionRequest request;
    request.barcode_text = text;
    request.file_name = file_name;
    request.page = page;
    request.first_x = at.first_x;
    request.second_x = at.second_x;
    request.y = at.y;
    request.neighbourhood = Neighbourhood(at);
    request.window = &exports_.window;
    return correction_->Correct(request);
}

std::string CBarlynxCtrl::GetAllBarCode(std::string_view file_name, int16_t bar_code_type,
                                        std::optional<std::string_view> export_file,
                                        std::optional<std::string_view> export_file2,
                                        std::string_view images_path, int32_t& error,
                                        int16_t page) {
    const std::string file(file_name);
    auto show_message = [this](std::string_view text) { ShowMessage(text); };
    const SearchSettings settings{properties_.exclusion_height, properties_.degree,
                                  properties_.bw_threshold, properties_.adaptive};
    PageSearchResult found =
        SearchPage(exports_, settings, file, page, bar_code_type, show_message);
    error = found.error;
    if (error != 0 || (!export_file && !export_file2)) return std::move(found.raw);

    const SegmentHooks hooks{show_message, [&](std::string_view text, const Coordinates& at) {
                                 return Correct(file, page, text, at);
                             }};
    const ExportFields fields = WalkSegments(found.raw, hooks);
    const std::string line = ExportLine(BaseName(file), fields, ImagesPath(file, images_path));
    error = AppendExportLine(line, export_file.value_or(""), export_file2.value_or(""));
    return error == 0 ? std::move(found.raw) : std::string();
}

}  // namespace barlynx
