#include "acquisition/acquisition_loop.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "acquisition/choice_texts.h"
#include "acquisition/code_advance.h"
#include "acquisition/saved_identification.h"
#include "acquisition/scan_report.h"
#include "acquisition/work_file.h"
#include "config/numeric_text.h"
#include "operator/choice_labels.h"
#include "operator/fixed_messages.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

constexpr int kToneLimit = 1000;
constexpr int kToneNotSent = 2000;  // what an out-of-range brightness or contrast is sent as
constexpr int kShowEveryScan = 2;
constexpr int kShowFirstScan = 1;
constexpr int kHundredths = 100;
constexpr std::uint32_t kRotateFill = 0xFF0000;
constexpr int kMinQualityFactor = 1;
constexpr int kMaxQualityFactor = 254;

// Choice answers, by button from 1.
constexpr int kAnswerFirst = 1;
constexpr int kAnswerSecond = 2;
constexpr int kAnswerThird = 3;

std::string Formatted(std::string_view format, long value) {
    const std::string pattern(format);
    const bool is_long = pattern.find("%ld") != std::string::npos;
    char text[256];
    if (is_long)
        std::snprintf(text, sizeof text, pattern.c_str(), value);
    else
        std::snprintf(text, sizeof text, pattern.c_str(), static_cast<int>(value));
    return text;
}

std::string Formatted(std::string_view format, std::string_view argument) {
    std::string text(format);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

std::string Formatted(std::string_view format, long value, std::string_view argument) {
    return Formatted(Formatted(format, value), argument);
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool RemoveFile(const std::string& path) {
    std::error_code error;
    fs::remove(path, error);
    return !error;
}

// Whether a file can be made in `directory`: tried for real, as permissions alone do not tell
// (a read-only mount, a name that is a file).
bool Writable(const fs::path& directory) {
    std::string probe = (directory / ".scantora-XXXXXX").string();
    const int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::optional<int> ToneToSend(std::optional<int> tone) {
    if (tone && (*tone < -kToneLimit || *tone > kToneLimit)) return kToneNotSent;
    return tone;
}

}  // namespace

AcquisitionLoop::AcquisitionLoop(AcquisitionParts parts, AcquisitionOptions options)
    : parts_(parts), options_(std::move(options)) {}

AcquisitionLoop::~AcquisitionLoop() = default;

ScanResult AcquisitionLoop::Start() {
    stop_requested_.store(false);
    SetState(LoopState::kScanning);
    if (observer_) observer_->ScanningChanged(true);
    ScanResult total;
    command_images_ = 0;
    bool repeat = false;
    do {
        if (separator_found_ != 0 && parts_.separation)
            parts_.separation->Apply(separator_found_, parts_.identification);
        separator_found_ = 0;
        // A document completed at MAXDOC_NUM is followed by the next one.
        if (repeat) StepMaxdocLevel();
        const ScanResult one = StartScanning();
        const int images = total.images + one.images;
        total = one;
        total.images = images;
        command_images_ = images;
        repeat = one.end == ScanEnd::kFinished && parts_.identification.document_complete() &&
                 !stop_requested_.load();
    } while (repeat);
    SetState(LoopState::kIdle);
    if (total.end == ScanEnd::kSeparator || total.end == ScanEnd::kStopped) {
        if (observer_) observer_->StatusChanged(parts_.texts.Text(text_id::kScanningStopped));
    }
    if (observer_) {
        observer_->ScanningChanged(false);
        observer_->CommandEnded(total);
    }
    return total;
}

void AcquisitionLoop::Stop() {
    stop_requested_.store(true);
    parts_.control.RequestStop();
}

ScanResult AcquisitionLoop::StartScanning() {
    IdentificationModel& identification = parts_.identification;
    result_ = {};
    result_.end = ScanEnd::kFinished;
    batch_images_ = 0;
    separator_found_ = 0;
    identification.clear_document_complete();
    back_side_ = false;
    last_answer_ = 0;
    pages_saved_ = 0;
    save_failed_ = false;
    work_file_.reset();
    multi_page_ = identification.multi_page();
    separation_active_ = parts_.separation && parts_.separation->StartScanning();
    if (!identification.Validate()) {
        result_.end = ScanEnd::kNotStarted;
        return result_;
    }
    bool first_document = true;
    while (OpenDocument(first_document)) {
        first_document = false;
        if (!AcquireDocument()) break;
    }
    FinishScanning();
    result_.images = batch_images_;
    return result_;
}

bool AcquisitionLoop::OpenDocument(bool first_document) {
    IdentificationModel& identification = parts_.identification;
    const auto parts = identification.BuildPagePath(back_side_);
    if (!parts) {
        result_.end = first_document ? ScanEnd::kNotStarted : ScanEnd::kSaveError;
        return false;
    }
    // The page path as composed: a name without extension gets no trailing ".".
    std::string document = identification.file_field();
    const fs::path directory = fs::path(document).parent_path();
    if (!Writable(directory)) {
        parts_.op.Stop(Formatted(fixed_message::kWorkAreaNotWritable, directory.string()));
        result_.end = first_document ? ScanEnd::kNotStarted : ScanEnd::kSaveError;
        return false;
    }
    const auto work_dir = WorkDirectory(parts_.job.disco_work, parts_.job.disco_scarico);
    // Pages a run that died left in the work directory belong to their document first.
    if (work_dir) RecoverWorkFile(WorkFileOf(*work_dir, document));
    document_ = document;
    if (multi_page_) {
        pages_saved_ = 0;
        identification.clear_document_complete();
        int pages = 0;
        if (Exists(document_)) {
            if (CountPages(document_, pages) != ImagingStatus::kOk) pages = 0;
            identification.set_page_counter(pages);
            if (observer_) observer_->CounterChanged(identification.BatchCounterText());
            last_answer_ =
                Ask(false, DocumentExistsText(identification, identification.WorkingLevel(), pages,
                                              parts_.texts));
            if (last_answer_ == kAnswerThird) {
                result_.end = ScanEnd::kCancelled;
                return false;
            }
            if (last_answer_ == kAnswerSecond) {
                RemoveFile(document_);
                identification.clear_document_complete();
                identification.set_page_counter(0);
            }
        } else {
            identification.set_page_counter(0);
        }
    } else if (!ResolveExistingPage(!first_document)) {
        result_.end = ScanEnd::kCancelled;
        return false;
    }
    return UseDocument(document_);
}

bool AcquisitionLoop::ResolveExistingPage(bool after_acquisition) {
    if (!Exists(document_)) return true;
    if (last_answer_ != kAnswerFirst) {
        last_answer_ =
            Ask(false, PageExistsText(parts_.identification, after_acquisition, parts_.texts));
        if (last_answer_ == kAnswerThird) return false;
    }
    RemoveFile(document_);
    return true;
}

bool AcquisitionLoop::UseDocument(std::string document) {
    document_ = std::move(document);
    target_ = document_;
    work_file_.reset();
    if (const auto work_dir = WorkDirectory(parts_.job.disco_work, parts_.job.disco_scarico)) {
        const fs::path work_file = WorkFileOf(*work_dir, document_);
        const bool append = multi_page_ && last_answer_ == kAnswerFirst;
        if (BeginWorkFile(work_file, document_, append) != ImagingStatus::kOk) {
            parts_.op.Stop(Formatted(fixed_message::kWorkAreaNotWritable, work_dir->string()));
            result_.end = batch_images_ == 0 ? ScanEnd::kNotStarted : ScanEnd::kSaveError;
            return false;
        }
        work_file_ = work_file;
        target_ = work_file.string();
    }
    if (observer_) observer_->DocumentChanged(document_);
    return true;
}

void AcquisitionLoop::CloseDocument() {
    if (work_file_) {
        const ImagingStatus status = FinishWorkFile(*work_file_, document_);
        if (status != ImagingStatus::kOk) {
            parts_.op.Stop(Formatted(fixed_message::kWorkFileNotCopied, ToCode(status), document_));
            result_.end = ScanEnd::kSaveError;
            result_.status = ToCode(status);
        }
        work_file_.reset();
        target_ = document_;
    }
    if (observer_ && Exists(document_)) observer_->ShowDocument(document_);
}

bool AcquisitionLoop::AcquireDocument() {
    for (;;) {
        const ImagingStatus status = AcquireOnce();
        // The page event may have ended scanning: a page not saved, a file answered 3.
        if (save_failed_ || result_.end != ScanEnd::kFinished) return false;
        if (status == ImagingStatus::kNoDocuments &&
            (options_.empty_feeder_is_end || batch_images_ + command_images_ > 0)) {
            // The feeder ran dry between acquisitions: the batch is over, not broken.
            result_.end = ScanEnd::kFeederEmpty;
            return false;
        }
        if (status != ImagingStatus::kOk) {
            parts_.op.Stop(Formatted(fixed_message::kTwainError, ToCode(status)));
            result_.end = ScanEnd::kDeviceError;
            result_.status = ToCode(status);
            result_.detail = parts_.control.LastErrorText();
            return false;
        }
        if (separator_found_ != 0) {
            result_.end = ScanEnd::kSeparator;
            return false;
        }
        if (stop_requested_.load()) {
            result_.end = ScanEnd::kStopped;
            return false;
        }
        // Unattended, a feeder run to its end is the end of the source: answers still close
        // the document or step the codes, but nothing more is acquired.
        const bool fed_out = options_.empty_feeder_is_end && all_pages_;
        if (parts_.identification.document_complete()) {
            if (fed_out) {
                StepMaxdocLevel();
                result_.end = ScanEnd::kFeederEmpty;
            }
            return false;
        }
        if (!multi_page_) return !fed_out || FedOut();
        const int answer =
            Ask(true, EndOfDocumentText(parts_.identification, parts_.identification.WorkingLevel(),
                                        parts_.identification.page_counter(), parts_.texts));
        if (answer == kAnswerThird) return false;
        if (answer == kAnswerFirst && !fed_out) continue;
        if (answer == kAnswerSecond) {
            CloseDocument();
            StepToNextDocument();
        }
        return !fed_out || FedOut();
    }
}

bool AcquisitionLoop::FedOut() {
    result_.end = ScanEnd::kFeederEmpty;
    return false;
}

ImagingStatus AcquisitionLoop::AcquireOnce() {
    ImagingControl& control = parts_.control;
    const bool one_sheet = !multi_page_ && last_answer_ == kAnswerSecond;
    const bool duplex_wanted = parts_.scanner.duplex == 1;
    all_pages_ = !one_sheet;
    control.SetPagesToAcquire(one_sheet ? (duplex_wanted ? 2 : 1) : kAllPages);
    duplex_ = false;
    if (duplex_wanted) {
        const int capability = control.DuplexCapability();
        duplex_ = capability == 1 || capability == 2;
    }
    control.SetDuplex(duplex_);
    back_side_ = false;
    const bool first_of_run = first_scan_;
    if (first_scan_) {
        first_scan_ = false;
        known_ = {};
    }
    const long show = LeadingNumber(parts_.job.showtwain);
    const bool shown = show == kShowEveryScan || (show == kShowFirstScan && first_of_run);
    control.SetDialogMode(shown ? DialogMode::kShown : DialogMode::kHidden);
    ApplyScannerValues();
    first_page_ = true;
    const ImagingStatus status = control.Acquire([this](Page& page) { return OnPage(page); });
    ReadBackScannerValues();
    return status;
}

PageAction AcquisitionLoop::OnPage(Page& page) {
    const ScannerSettings& scanner = parts_.scanner;
    if (first_page_) {
        first_page_ = false;
        if (page.Photometric() == kPhotometricInverted) page.Invert();
    }
    if (scanner.invert == 1) page.Invert();
    if (scanner.deskew == 1) page.Deskew();
    if (scanner.gradi != 0) page.Rotate(scanner.gradi * kHundredths, true, kRotateFill);
    if (multi_page_ && AutomaticChange() && pages_saved_ >= LeadingNumber(parts_.job.maxdoc_num) &&
        !NextDocumentStep()) {
        return PageAction::kStop;
    }
    const int pages_in_file = multi_page_ ? parts_.identification.page_counter() + 1 : 1;
    if (const ImagingStatus saved = SavePage(page); saved != ImagingStatus::kOk) {
        save_failed_ = true;
        parts_.op.Stop(Formatted(fixed_message::kSavePageFailed, ToCode(saved), target_));
        result_.end = ScanEnd::kSaveError;
        result_.status = ToCode(saved);
        return PageAction::kStop;
    }
    ++batch_images_;
    if (multi_page_) ++pages_saved_;
    if (!known_.resolution && page.XResolution() > 0) {
        known_.resolution = page.XResolution();
        Show(fixed_message::kPageResolutionRead, *known_.resolution);
    }
    const AcquiredPage side{duplex_, back_side_};
    const std::string saved_to = target_;
    if (separation_active_) {
        const SeparatorCheck check = parts_.separation->PageSaved({saved_to, pages_in_file, side});
        separator_found_ = check.matched;
        if (multi_page_ && check.pages_in_file < pages_in_file) {
            const int removed = pages_in_file - check.pages_in_file;
            pages_saved_ = std::max(0, pages_saved_ - removed);
            // The first side of a sheet was counted before its back turned out a separator.
            if (side.back_side) parts_.identification.set_page_counter(check.pages_in_file);
        }
    }
    if (duplex_) back_side_ = !back_side_;
    // The codes the page was filed under: the entry fields lag a page behind them.
    WriteScanReport(options_.setup_dir, ScanReportLine(parts_.identification.file_field(),
                                                       parts_.identification.Codes()));
    if (observer_)
        observer_->PageSaved({saved_to, document_, pages_in_file, separator_found_, batch_images_});
    if (separator_found_ != 0) return PageAction::kStop;
    parts_.identification.AdvancePage(side);
    if (observer_) observer_->CounterChanged(CounterText());
    if (!multi_page_ && !AfterSinglePage()) return PageAction::kStop;
    return stop_requested_.load() ? PageAction::kStop : PageAction::kContinue;
}

ImagingStatus AcquisitionLoop::SavePage(Page& page) {
    if (multi_page_) return page.Save(target_, kFormatTiff, 0, kTiffQuality, kSaveAppend);
    if (page.BitsPerPixel() == 1) return page.Save(target_, kFormatTiff, 0, kTiffQuality, kSaveNew);
    long factor = LeadingNumber(parts_.job.jpgcompress);
    if (factor < kMinQualityFactor || factor > kMaxQualityFactor) factor = kDefaultQualityFactor;
    return page.Save(target_, kFormatJpeg, 0, static_cast<int>(factor), kSaveNew);
}

// One file per page: the page's work file goes into place at once, and the next page gets its
// own path from the advanced codes.
bool AcquisitionLoop::AfterSinglePage() {
    CloseDocument();
    if (result_.end == ScanEnd::kSaveError) return false;
    const auto parts = parts_.identification.BuildPagePath(back_side_);
    if (!parts) {
        result_.end = ScanEnd::kSaveError;
        return false;
    }
    document_ = parts_.identification.file_field();
    // A page file of the new code would be replaced by the next page: asked as before a scan.
    if (!ResolveExistingPage(true)) {
        result_.end = ScanEnd::kCancelled;
        return false;
    }
    return UseDocument(document_);
}

bool AcquisitionLoop::AutomaticChange() const {
    const JobRecord& job = parts_.job;
    const long level = LeadingNumber(job.maxdoc_nliv);
    return LeadingNumber(job.maxdoc_num) > 0 &&
           (job.maxdoc_op.starts_with('+') || job.maxdoc_op.starts_with('-')) &&
           !job.maxdoc_nliv.empty() && level <= job.LevelCount();
}

void AcquisitionLoop::StepMaxdocLevel() {
    const long level = LeadingNumber(parts_.job.maxdoc_nliv);
    if (level >= 2 && level <= parts_.job.LevelCount())
        parts_.identification.StepLevel(static_cast<std::size_t>(level - 1), +1);
}

// The next document after the operator closed one: MAXDOC_NLIV's code when it names a level,
// else the working level's by its OPFINESCANDOC, so that "next" does not reopen the same file.
void AcquisitionLoop::StepToNextDocument() {
    const long level = LeadingNumber(parts_.job.maxdoc_nliv);
    if (level >= 2 && level <= parts_.job.LevelCount()) {
        StepMaxdocLevel();
        return;
    }
    const auto working = parts_.identification.WorkingLevel();
    if (!working) return;
    const int step = StepOfOperation(parts_.job.levels[*working].opfinescandoc);
    if (step != 0) parts_.identification.StepLevel(*working, step);
}

bool AcquisitionLoop::NextDocumentStep() {
    CloseDocument();
    StepMaxdocLevel();
    if (!parts_.identification.Validate()) {
        result_.end = ScanEnd::kSaveError;
        return false;
    }
    return OpenDocument(false);
}

bool AcquisitionLoop::NextDocument() {
    if (state() != LoopState::kIdle) return false;
    result_ = {};
    multi_page_ = parts_.identification.multi_page();
    StepMaxdocLevel();
    if (!parts_.identification.Validate()) return false;
    const bool opened = OpenDocument(false);
    // Idle again: a work file waits for the next start, which begins it again.
    work_file_.reset();
    return opened;
}

void AcquisitionLoop::FinishScanning() {
    SetState(LoopState::kEnding);
    // Open from one acquisition to the next of a start: a feeder reopened may count as full.
    parts_.control.CloseSource();
    CloseDocument();
    const bool broken = result_.end == ScanEnd::kDeviceError ||
                        result_.end == ScanEnd::kSaveError || result_.end == ScanEnd::kNotStarted;
    // A batch that broke is not offered for sending: the operator sees it again at the next
    // start.
    if (batch_images_ > 0 && separator_found_ == 0 && !parts_.identification.document_complete() &&
        !broken) {
        const BatchAnswer answer = AskEndOfBatch();
        if (answer != BatchAnswer::kKept) result_.end = ScanEnd::kExit;
        result_.transfer_failed = answer == BatchAnswer::kTransferFailed;
    }
    SetState(LoopState::kScanning);
}

AcquisitionLoop::BatchAnswer AcquisitionLoop::AskEndOfBatch() {
    const LoopState was = state();
    SetState(LoopState::kAsking);
    result_.end_of_batch_asked = true;
    const bool yes = parts_.op.AskYesNo(parts_.texts.Text(text_id::kEndOfBatch), true);
    SetState(was);
    if (!yes) return BatchAnswer::kKept;
    // The codes stay as they are: the next run goes on from them.
    const bool sent = !transfer_ || transfer_();
    SaveIdentification();
    return sent ? BatchAnswer::kTransferred : BatchAnswer::kTransferFailed;
}

bool AcquisitionLoop::SaveIdentification() const {
    if (parts_.job.inisaveparam.empty()) return false;
    return parts_.identification.Save(
        SavedIdentificationPath(options_.setup_dir.string(), parts_.job.inisaveparam));
}

void AcquisitionLoop::ApplyScannerValues() {
    ScannerValues values = options_.job_values;
    const auto take = [](std::optional<int>& into, const std::optional<int>& known) {
        if (known) into = known;
    };
    take(values.resolution, known_.resolution);
    take(values.brightness, known_.brightness);
    take(values.contrast, known_.contrast);
    take(values.frame_left, known_.frame_left);
    take(values.frame_top, known_.frame_top);
    take(values.frame_height, known_.frame_height);
    take(values.frame_width, known_.frame_width);
    values.brightness = ToneToSend(values.brightness);
    values.contrast = ToneToSend(values.contrast);
    const auto show = [this](std::string_view format, const std::optional<int>& value) {
        if (value) Show(format, *value);
    };
    show(fixed_message::kResolutionSet, values.resolution);
    show(fixed_message::kBrightnessSet, values.brightness);
    show(fixed_message::kContrastSet, values.contrast);
    show(fixed_message::kFrameLeftSet, values.frame_left);
    show(fixed_message::kFrameTopSet, values.frame_top);
    show(fixed_message::kFrameHeightSet, values.frame_height);
    show(fixed_message::kFrameWidthSet, values.frame_width);
    parts_.control.SetScannerValues(values);
}

void AcquisitionLoop::ReadBackScannerValues() {
    const ScannerValues read = parts_.control.ReadScannerValues();
    const auto learn = [this](std::optional<int>& known, const std::optional<int>& value,
                              std::string_view format) {
        if (known || !value) return;
        known = value;
        if (!format.empty()) Show(format, *value);
    };
    learn(known_.resolution, read.resolution, fixed_message::kResolutionRead);
    learn(known_.contrast, read.contrast, fixed_message::kContrastRead);
    learn(known_.brightness, read.brightness, fixed_message::kBrightnessRead);
    learn(known_.frame_left, read.frame_left, {});
    learn(known_.frame_top, read.frame_top, {});
    learn(known_.frame_height, read.frame_height, {});
    learn(known_.frame_width, read.frame_width, {});
}

int AcquisitionLoop::Ask(bool end_of_document, const std::string& text) {
    const LoopState was = state();
    SetState(LoopState::kAsking);
    const ChoiceLabels labels =
        ChoiceButtons(end_of_document ? ChoiceUse::kEndOfDocument : ChoiceUse::kFileExists,
                      multi_page_, parts_.texts);
    const int index = parts_.op.ChooseOne(text, labels);
    SetState(was);
    return (ChoiceShown(labels, index) ? index : 0) + kAnswerFirst;
}

void AcquisitionLoop::Show(std::string_view format, long value) const {
    if (options_.show_messages) parts_.op.Inform(Formatted(format, value));
}

std::string AcquisitionLoop::CounterText() const {
    if (multi_page_) return parts_.identification.BatchCounterText();
    return BatchCounterText(batch_images_);
}

}  // namespace scantora
