// CBarlynx, the program's wrapper of the Barlynx control: one get and one set per property and
// GetAllBarCode, each call into the control holding the program's pixdoc32 lock. ReadPage is how
// the program reads a page: it is the one place that sets the properties the program relies on.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "barcode_control/barlynx.h"
#include "config/job_record.h"
#include "operator/operator.h"
#include "transfer/barlynx_factory.h"

namespace scantora {

// The properties the program gives the control before every read.
inline constexpr int32_t kProgramExclusionHeight = 100;
inline constexpr int16_t kProgramDegree = 0;
// BWThreshold when the job's THRESHOLDBARCODE is not a grey level from 1 to 255.
inline constexpr int32_t kDefaultBarcodeThreshold = 128;

// The export files of one read: an absent name writes nothing and opens no correction dialog;
// an empty one writes nothing.
struct BarcodeExports {
    std::optional<std::string> export_file;
    std::optional<std::string> export_file2;
    std::string images_path;
};

struct BarcodeRead {
    std::string text;   // the raw search text; empty on error
    int32_t error = 0;  // the control's error code
};

// BWThreshold from THRESHOLDBARCODE; BARCODEVAL as the control's 16-bit type mask; Adaptive
// from ADAPTIVEBARCODE (absent or 0: off).
int32_t BarcodeThreshold(const JobRecord& job);
int16_t BarcodeTypeMask(const JobRecord& job);
bool AdaptiveBarcode(const JobRecord& job);

class CBarlynx {
public:
    // The control's messages go to `op`; `correction` (may be null) is the Reject Correction
    // dialog. Both must outlive the wrapper. The dialog is shown with this call's pixdoc32 lock
    // released, so that a window on another thread than the read can show the page.
    CBarlynx(BarlynxControl control, Operator& op, barlynx::CorrectionDialog* correction = nullptr);
    CBarlynx(const CBarlynx&) = delete;
    CBarlynx& operator=(const CBarlynx&) = delete;

    int32_t GetExclusionHeight() const;
    void SetExclusionHeight(int32_t value);
    int16_t GetDegree() const;
    void SetDegree(int16_t value);
    int32_t GetBWThreshold() const;
    void SetBWThreshold(int32_t value);
    int32_t GetBWThresholdNeg() const;
    void SetBWThresholdNeg(int32_t value);
    int32_t GetBWRotate() const;
    void SetBWRotate(int32_t value);
    bool GetRejectCorrection() const;
    void SetRejectCorrection(bool value);
    bool GetAdaptive() const;
    void SetAdaptive(bool value);

    std::string GetAllBarCode(std::string_view file_name, int16_t bar_code_type,
                              std::optional<std::string_view> export_file,
                              std::optional<std::string_view> export_file2,
                              std::string_view images_path, int32_t& error, int16_t page);

    // Page `page` of `file_name` read as the program reads every page: ExclusionHeight 100,
    // Degree 0, BWThreshold and Adaptive from the job, BARCODEVAL as the type mask.
    BarcodeRead ReadPage(const JobRecord& job, std::string_view file_name, int16_t page,
                         const BarcodeExports& exports = {});

private:
    class LockReleasingCorrection : public barlynx::CorrectionDialog {
    public:
        explicit LockReleasingCorrection(barlynx::CorrectionDialog* dialog) : dialog_(dialog) {}
        std::optional<std::string> Correct(const barlynx::CorrectionRequest& request) override;
        // The lock of the call in progress, held while the control works.
        std::unique_lock<std::recursive_mutex>* held = nullptr;

    private:
        barlynx::CorrectionDialog* dialog_;
    };

    class OperatorMessages : public barlynx::MessageHost {
    public:
        explicit OperatorMessages(Operator& op) : operator_(op) {}
        void ShowMessage(std::string_view text) override { operator_.Inform(text); }

    private:
        Operator& operator_;
    };

    template <typename T>
    T Get(barlynx::DispId id) const;
    template <typename T>
    void Set(barlynx::DispId id, T value);

    BarlynxControl control_;
    OperatorMessages messages_;
    LockReleasingCorrection correction_;
};

}  // namespace scantora
