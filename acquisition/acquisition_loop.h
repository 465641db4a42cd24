// The acquisition loop: the start, stop and next-document commands of the main window, scanning
// document after document into the work area through the imaging control, with the existing-file
// choices, the per-page corrections, separator sheets, the scan report and the end of a batch.
//
// The loop knows no toolkit and no threads. Its commands run on the caller's thread and return
// when scanning has ended; only Stop() may come from another thread. Questions go to the
// operator interface, which a window may marshal to its own thread; events go to the observer.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/identification_model.h"
#include "acquisition/page_separation.h"
#include "acquisition/scanner/imaging_control.h"
#include "config/job_record.h"
#include "config/scanner_settings.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

// A page the loop has saved.
struct PageSavedEvent {
    std::string file;      // the file written (the work file while a work directory is in use)
    std::string document;  // where the page ends up: the document (or page) file
    int page = 1;          // its page number in that file (always 1 for one file per page)
    int separator = 0;     // the separator (1 to 3) recognised on the page, 0 for none
    int batch_images = 0;  // images acquired since scanning started, this one included
};

// How a start command ended.
enum class ScanEnd {
    kNotStarted,   // invalid identification, bad path or work area not writable: nothing scanned
    kFinished,     // scanning ended normally (feeder empty and answered, answer 3, ...)
    kFeederEmpty,  // the feeder held no page at the start of an acquisition (quiet in batch mode)
    kSeparator,    // a separator sheet stopped scanning; the next start applies it
    kStopped,      // the stop command
    kCancelled,    // answer 3 to an existing file
    kDeviceError,  // the device or feeder failed ("Errore TWAIN: %d" shown); saved pages stay
    kSaveError,    // a page could not be saved; the pages saved before it stay
    kExit,         // "Fine Batch?" answered Yes: the end-of-batch transfer ran, the program exits
};

struct ScanResult {
    ScanEnd end = ScanEnd::kNotStarted;
    int images = 0;                   // images acquired by this command
    int status = 0;                   // the imaging control's code of a device or save error
    std::string detail;               // what the control said about it
    bool end_of_batch_asked = false;  // "Fine Batch?" was put to the operator
    bool transfer_failed = false;     // the end-of-batch transfer did not run to its end
};

// What the window or the console hears while scanning; every call comes on the thread that runs
// the command.
class AcquisitionObserver {
public:
    virtual ~AcquisitionObserver() = default;
    virtual void PageSaved(const PageSavedEvent&) {}
    // "Num. Img. nel Bacth: %d  " whenever the counter changes.
    virtual void CounterChanged(std::string_view) {}
    // Status-bar text ("Scansione Documenti Arrestata").
    virtual void StatusChanged(std::string_view) {}
    // Scanning began (start button disabled, stop enabled) or ended (the reverse).
    virtual void ScanningChanged(bool) {}
    // The document (or, one file per page, the page) file the next pages go to.
    virtual void DocumentChanged(const std::string&) {}
    // A finished document to show in the viewer.
    virtual void ShowDocument(const std::string&) {}
    // A start command has ended.
    virtual void CommandEnded(const ScanResult&) {}
};

// The transfer at the end of a batch ("Fine Batch?" answered Yes): filled in by the program,
// which owns the transfer. Returns false when the transfer did not run to its end.
using EndOfBatchTransfer = std::function<bool()>;

// The parts the loop works with; all owned by the caller and outliving the loop.
struct AcquisitionParts {
    const JobRecord& job;
    const ScannerSettings& scanner;  // DUPLEX, INVERT, DESKEW, GRADI
    const InterfaceTexts& texts;
    Operator& op;
    ImagingControl& control;
    IdentificationModel& identification;
    PageSeparation* separation = nullptr;  // nullptr: separator sheets are not looked for
};

struct AcquisitionOptions {
    std::filesystem::path setup_dir;  // where the scan report and saved identification go
    // The scanner values of the job, sent until the scanner's own are known.
    ScannerValues job_values;
    bool show_messages = false;  // report each scanner value applied and read
    // Unattended runs: the source has no more pages once an acquisition of every page in the
    // feeder has ended, or a feeder is found empty; scanning ends there, without a message.
    bool empty_feeder_is_end = false;
};

enum class LoopState { kIdle, kScanning, kAsking, kEnding };

class AcquisitionLoop {
public:
    AcquisitionLoop(AcquisitionParts parts, AcquisitionOptions options);
    ~AcquisitionLoop();
    AcquisitionLoop(const AcquisitionLoop&) = delete;
    AcquisitionLoop& operator=(const AcquisitionLoop&) = delete;

    void SetObserver(AcquisitionObserver* observer) { observer_ = observer; }
    void SetEndOfBatchTransfer(EndOfBatchTransfer transfer) { transfer_ = std::move(transfer); }

    // The start command: applies a separator left by the last scan, scans until scanning ends
    // and repeats while a document was completed at MAXDOC_NUM. Returns when all has ended.
    ScanResult Start();
    // The stop command: scanning ends after the sheet in progress. Safe from any thread.
    void Stop();
    // The next-document command while idle: steps MAXDOC_NLIV's code, validates, builds the new
    // path and handles an existing document file. False when the new document cannot be used.
    bool NextDocument();
    // "Fine Batch?" and, on Yes, the end-of-batch transfer and the saved identification, as at
    // the end of scanning; for a driver whose last start found the feeder empty.
    enum class BatchAnswer { kKept, kTransferred, kTransferFailed };
    BatchAnswer AskEndOfBatch();
    // Saves the identification values (on exit).
    bool SaveIdentification() const;

    LoopState state() const { return state_.load(); }
    int batch_images() const { return batch_images_; }
    // The separator (1 to 3) the next start applies first, 0 for none.
    int pending_separator() const { return separator_found_; }
    const std::string& document_file() const { return document_; }

private:
    // One start of scanning; true while the loop goes on with the next document.
    ScanResult StartScanning();
    bool OpenDocument(bool first_document);
    bool ResolveExistingPage(bool after_acquisition);
    bool UseDocument(std::string document);
    void CloseDocument();
    bool AcquireDocument();
    bool FedOut();
    ImagingStatus AcquireOnce();
    PageAction OnPage(Page& page);
    ImagingStatus SavePage(Page& page);
    bool AfterSinglePage();
    bool NextDocumentStep();
    void StepMaxdocLevel();
    void StepToNextDocument();
    bool AutomaticChange() const;
    void FinishScanning();
    void ApplyScannerValues();
    void ReadBackScannerValues();
    int Ask(bool end_of_document, const std::string& text);
    void Show(std::string_view format, long value) const;
    std::string CounterText() const;
    void SetState(LoopState state) { state_.store(state); }

    AcquisitionParts parts_;
    AcquisitionOptions options_;
    AcquisitionObserver* observer_ = nullptr;
    EndOfBatchTransfer transfer_;
    std::atomic<LoopState> state_{LoopState::kIdle};
    std::atomic<bool> stop_requested_{false};

    // What lasts across commands.
    bool first_scan_ = true;
    ScannerValues known_;  // the scanner's values as last read; empty: not yet known
    int separator_found_ = 0;
    int batch_images_ = 0;
    int command_images_ = 0;  // images of the start command in progress
    std::string document_;    // the document (or page) file of the identification

    // The command in progress.
    ScanResult result_;
    bool multi_page_ = false;
    bool separation_active_ = false;
    int last_answer_ = 0;  // of the existing-file choice: 0 none, else the button from 1
    int pages_saved_ = 0;  // pages written to the current file during this acquisition
    std::optional<std::filesystem::path> work_file_;
    std::string target_;     // where the next page goes: the work file or the document
    bool all_pages_ = true;  // the acquisition takes every page in the feeder
    bool duplex_ = false;
    bool back_side_ = false;
    bool first_page_ = true;
    bool save_failed_ = false;
};

}  // namespace scantora
