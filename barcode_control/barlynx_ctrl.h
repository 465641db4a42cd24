// CBarlynxCtrl, the control behind the component's dispatch interface: its six properties and
// GetAllBarCode (the page search, then the export step).
#pragma once

#include "barcode_control/barlynx.h"
#include "barcode_control/export_step.h"
#include "barcode_control/pixdoc_exports.h"

namespace barlynx {

class CBarlynxCtrl final : public IBarlynx {
public:
    // `exports` are the library functions the control calls, bound by ordinal.
    explicit CBarlynxCtrl(const PixdocExports& exports) : exports_(exports) {}

    std::optional<PropertyValue> GetProperty(DispId id) const override;
    bool SetProperty(DispId id, const PropertyValue& value) override;
    bool IsModified() const override { return modified_; }
    void SetHost(MessageHost* messages, CorrectionDialog* correction) override;
    std::string GetAllBarCode(std::string_view file_name, int16_t bar_code_type,
                              std::optional<std::string_view> export_file,
                              std::optional<std::string_view> export_file2,
                              std::string_view images_path, int32_t& error, int16_t page) override;
    void Release() override { delete this; }

private:
    // Plain values, never persisted: a new control starts with these.
    struct Properties {
        int32_t exclusion_height = 0;
        int16_t degree = 0;
        int32_t bw_threshold = 128;
        int32_t bw_threshold_neg = 0;    // stored and reported only
        int32_t bw_rotate = 0;           // stored and reported only
        bool reject_correction = false;  // stored and reported only: the dialog opens anyway
        bool adaptive = false;           // the library's adaptive search for every page
    };

    void ShowMessage(std::string_view text) const;
    std::optional<std::string> Correct(std::string_view file_name, int16_t page,
                                       std::string_view text, const Coordinates& at) const;

    PixdocExports exports_;
    Properties properties_;
    bool modified_ = false;
    MessageHost* messages_ = nullptr;
    CorrectionDialog* correction_ = nullptr;
};

}  // namespace barlynx
