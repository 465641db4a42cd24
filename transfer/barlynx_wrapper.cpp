#include "transfer/barlynx_wrapper.h"

#include <mutex>

#include "acquisition/scanner/pixdoc_lock.h"
#include "config/numeric_text.h"

namespace scantora {
namespace {

constexpr long kLowestGrey = 1;
constexpr long kHighestGrey = 255;

std::optional<std::string_view> ViewOf(const std::optional<std::string>& text) {
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

}  // namespace

int32_t BarcodeThreshold(const JobRecord& job) {
    // An empty or out-of-range value would turn colour pages all white or all black.
    const long threshold = LeadingNumber(job.thresholdbarcode);
    return threshold >= kLowestGrey && threshold <= kHighestGrey ? static_cast<int32_t>(threshold)
                                                                 : kDefaultBarcodeThreshold;
}

bool AdaptiveBarcode(const JobRecord& job) {
    return LeadingNumber(job.adaptivebarcode) != 0;
}

int16_t BarcodeTypeMask(const JobRecord& job) {
    return static_cast<int16_t>(static_cast<uint16_t>(LeadingNumber(job.barcodeval)));
}

CBarlynx::CBarlynx(BarlynxControl control, Operator& op, barlynx::CorrectionDialog* correction)
    : control_(std::move(control)), messages_(op), correction_(correction) {
    control_->SetHost(&messages_, correction ? &correction_ : nullptr);
}

std::optional<std::string> CBarlynx::LockReleasingCorrection::Correct(
    const barlynx::CorrectionRequest& request) {
    // The control has searched the page and only walks its own text meanwhile.
    if (held) held->unlock();
    std::optional<std::string> corrected = dialog_->Correct(request);
    if (held) held->lock();
    return corrected;
}

template <typename T>
T CBarlynx::Get(barlynx::DispId id) const {
    const std::optional<barlynx::PropertyValue> value = control_->GetProperty(id);
    const T* typed = value ? std::get_if<T>(&*value) : nullptr;
    return typed ? *typed : T{};
}

template <typename T>
void CBarlynx::Set(barlynx::DispId id, T value) {
    control_->SetProperty(id, value);
}

using barlynx::DispId;

int32_t CBarlynx::GetExclusionHeight() const {
    return Get<int32_t>(DispId::kExclusionHeight);
}
void CBarlynx::SetExclusionHeight(int32_t value) {
    Set(DispId::kExclusionHeight, value);
}
int16_t CBarlynx::GetDegree() const {
    return Get<int16_t>(DispId::kDegree);
}
void CBarlynx::SetDegree(int16_t value) {
    Set(DispId::kDegree, value);
}
int32_t CBarlynx::GetBWThreshold() const {
    return Get<int32_t>(DispId::kBWThreshold);
}
void CBarlynx::SetBWThreshold(int32_t value) {
    Set(DispId::kBWThreshold, value);
}
int32_t CBarlynx::GetBWThresholdNeg() const {
    return Get<int32_t>(DispId::kBWThresholdNeg);
}
void CBarlynx::SetBWThresholdNeg(int32_t value) {
    Set(DispId::kBWThresholdNeg, value);
}
int32_t CBarlynx::GetBWRotate() const {
    return Get<int32_t>(DispId::kBWRotate);
}
void CBarlynx::SetBWRotate(int32_t value) {
    Set(DispId::kBWRotate, value);
}
bool CBarlynx::GetRejectCorrection() const {
    return Get<bool>(DispId::kRejectCorrection);
}
void CBarlynx::SetRejectCorrection(bool value) {
    Set(DispId::kRejectCorrection, value);
}
bool CBarlynx::GetAdaptive() const {
    return Get<bool>(DispId::kAdaptive);
}
void CBarlynx::SetAdaptive(bool value) {
    Set(DispId::kAdaptive, value);
}

std::string CBarlynx::GetAllBarCode(std::string_view file_name, int16_t bar_code_type,
                                    std::optional<std::string_view> export_file,
                                    std::optional<std::string_view> export_file2,
                                    std::string_view images_path, int32_t& error, int16_t page) {
    std::unique_lock<std::recursive_mutex> hold(PixdocLock());
    correction_.held = &hold;
    std::string result = control_->GetAllBarCode(file_name, bar_code_type, export_file,
                                                 export_file2, images_path, error, page);
    correction_.held = nullptr;
    return result;
}

BarcodeRead CBarlynx::ReadPage(const JobRecord& job, std::string_view file_name, int16_t page,
                               const BarcodeExports& exports) {
    SetExclusionHeight(kProgramExclusionHeight);
    SetDegree(kProgramDegree);
    SetBWThreshold(BarcodeThreshold(job));
    SetAdaptive(AdaptiveBarcode(job));
    BarcodeRead read;
    read.text = GetAllBarCode(file_name, BarcodeTypeMask(job), ViewOf(exports.export_file),
                              ViewOf(exports.export_file2), exports.images_path, read.error, page);
    return read;
}

}  // namespace scantora
