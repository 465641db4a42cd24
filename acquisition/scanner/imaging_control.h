// The imaging control: scanner sources (SANE devices and feeder folders), the scanned page and
// its corrections, and the page files. The acquisition loop, separation, the transfer, the
// viewer and the scanner dialog use scanning only through this header.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Pix;

namespace scantora {

// Frees a page's Leptonica image.
struct PixRelease {
    void operator()(Pix* pix) const;
};

// Every result of the control; 0 is success. 1 to 11 are the SANE status codes the device
// gave, with their SANE numbers; 100 and above are the control's own. The program shows a
// failed acquisition as "Errore TWAIN: <code>".
enum class ImagingStatus : int {
    kOk = 0,
    kUnsupported = 1,          // the device refused the operation
    kCancelled = 2,            // cancelled at the device or in the options dialog
    kDeviceBusy = 3,           // the device is in use elsewhere
    kInvalid = 4,              // the device refused a value, or is gone (at open)
    kJammed = 6,               // paper jam in the feeder
    kNoDocuments = 7,          // the feeder was empty before the first page
    kCoverOpen = 8,            // the scanner cover is open
    kIoError = 9,              // device I/O failed: unplugged, switched off, ...
    kNoMemory = 10,            // the device or its driver ran out of memory
    kAccessDenied = 11,        // no permission to use the device
    kNoSource = 100,           // no source selected
    kBadFrame = 101,           // the device sent image data the control cannot take
    kUnreadableInput = 102,    // feeder folder: an image file that cannot be read
    kFolderUnavailable = 103,  // feeder folder: the folder cannot be listed
    kInputNotMoved = 104,      // feeder folder: a fed file could not be moved into done/
    kFileNotFound = 110,       // page files: no such file
    kNotAnImage = 111,         // not an image file the control reads (not a TIFF, for delete)
    kNoSuchPage = 112,         // page number outside the file
    kWriteFailed = 113,        // the file could not be written or replaced
    kDiskFull = 114,           // no space left, or the file size limit reached
    kBadArgument = 115,        // a format code, mode or depth the control does not offer
    kDamagedFile = 116,        // a TIFF whose directory chain cannot be walked
};

constexpr int ToCode(ImagingStatus status) {
    return static_cast<int>(status);
}

// A short English description of `status`, for logs and details under the program's message.
std::string_view DescribeStatus(ImagingStatus status);

// Scan type of the scanner settings: 0 line art, 1 grey, 2 colour.
enum class ColourMode { kLineArt = 0, kGrey = 1, kColour = 2 };

// The scanner values written before an acquisition and read back after it; an empty value is
// one the caller does not set (the device keeps its own) or the source cannot report.
struct ScannerValues {
    std::optional<int> resolution;  // dots per inch
    std::optional<int> brightness;  // -1000 to 1000 over the device's own range; 0 its middle
    std::optional<int> contrast;    // as brightness; values outside -1000..1000 are not sent
    std::optional<int> frame_left;  // scan frame in millimetres
    std::optional<int> frame_top;
    std::optional<int> frame_width;
    std::optional<int> frame_height;
    std::optional<ColourMode> mode;

    bool operator==(const ScannerValues&) const = default;
};

// What the open source offers for the scanner values: the constraints an options dialog shows.
// An empty member is not offered, or not known.
struct ScannerLimits {
    std::vector<int> resolutions;       // the resolutions a device lists, ascending
    std::optional<int> min_resolution;  // or the range it takes, in dots per inch,
    std::optional<int> max_resolution;
    int resolution_step = 0;  // in steps of this many (0: any value of the range)
    bool brightness = false;  // adjustable over -1000..1000
    bool contrast = false;
    std::optional<int> frame_width;  // the largest scan area, in millimetres
    std::optional<int> frame_height;
    std::vector<ColourMode> modes;

    bool operator==(const ScannerLimits&) const = default;
};

// Pages to acquire: every sheet in the feeder, or exactly this many sides.
inline constexpr int kAllPages = -1;

// When the options dialog opens before an acquisition.
enum class DialogMode { kSetup = 1, kHidden = 2, kShown = 3 };

// Duplex capability as the program reads it: 1 or 2 mean both sides can be scanned.
inline constexpr int kNoDuplex = 0;
inline constexpr int kDuplex = 1;

// Save format codes and modes.
inline constexpr int kFormatTiff = 29;  // bilevel: Group 4; grey and colour: JPEG in TIFF
inline constexpr int kFormatJpeg = 10;
inline constexpr int kSaveNew = 0;     // write a new file (replacing an old one)
inline constexpr int kSaveAppend = 1;  // add the page to a multi-page TIFF (new if missing)
// The quality the program passes for TIFF pages; any quality outside 1..254 means the default.
inline constexpr int kTiffQuality = -6;
inline constexpr int kDefaultQualityFactor = 125;

// Photometric values: the program inverts a first page reported as inverted.
inline constexpr int kPhotometricNormal = 0;
inline constexpr int kPhotometricInverted = 2;

// JPEG quality factor 1..254 (higher compresses more) to libjpeg quality 100..1, linearly:
// 1 gives 100, 125 gives 51, 254 gives 1. Factors outside 1..254 take 125.
int JpegQualityFromFactor(int factor);

// One page image: scanned, fed from a folder or loaded from a file. Bilevel pages hold 1 as
// black; grey pages 0 as black; colour pages RGB.
class Page {
public:
    Page();
    ~Page();
    Page(Page&&) noexcept;
    Page& operator=(Page&&) noexcept;

    bool Empty() const;
    Page Clone() const;

    int BitsPerPixel() const;  // 1, 8 or 24; 0 for an empty page
    int Photometric() const;   // kPhotometricNormal or kPhotometricInverted
    int Width() const;
    int Height() const;
    int XResolution() const;  // dots per inch, 0 when unknown
    int YResolution() const;

    void Invert();
    // Finds the skew of the text lines and straightens the page when one is found; returns
    // the angle found in degrees, positive when the page lies turned clockwise, 0 for none.
    double Deskew();
    // Turns the page clockwise by `hundredths` of a degree. With `resize` the page grows to
    // hold all of the turned image, the new corners filled with `fill_rgb` (0xRRGGBB); quarter
    // turns are exact.
    ImagingStatus Rotate(int hundredths, bool resize, std::uint32_t fill_rgb);

    // Saves the page. `format` kFormatTiff or kFormatJpeg; `bits_per_pixel` 1 or 2 bilevel,
    // 8 grey, 24 colour, 0 as the page is (grey and colour pages are thresholded, bilevel
    // pages spread, to the depth asked); `quality` the JPEG quality factor; `mode` kSaveNew or
    // kSaveAppend (TIFF only). The file is never left half written: a new file is composed
    // beside and renamed over, and an append leaves the pages already there readable even
    // when the disk fills or the program dies during the write.
    ImagingStatus Save(const std::filesystem::path& path, int format, int bits_per_pixel,
                       int quality, int mode);
    bool Saved() const { return saved_; }

    // One row as packed bytes: 1 bpp MSB first (1 black), 8 bpp grey, or 24 bpp RGB.
    int BytesPerRow() const;
    void ReadRow(int y, std::span<std::uint8_t> out) const;

private:
    friend struct PageAccess;
    std::unique_ptr<Pix, PixRelease> pix_;
    int photometric_ = kPhotometricNormal;
    bool saved_ = false;
};

// What the program reads of a page file.
struct PageFileInfo {
    int pages = 0;
    int bits_per_pixel = 0;  // of the page asked for: 1, 8 or 24
    int width = 0;
    int height = 0;
    int x_resolution = 0;
};

// Reads the page count and page `page` (from 1) of a TIFF, or of a single-page JPEG, PNG or
// PBM/PGM/PPM file.
ImagingStatus ReadPageFileInfo(const std::filesystem::path& path, int page, PageFileInfo& info);
// The page count alone.
ImagingStatus CountPages(const std::filesystem::path& path, int& pages);
// Loads page `page` (from 1); `bits_per_pixel` 0 keeps its depth, else as for Save.
ImagingStatus LoadPage(const std::filesystem::path& path, int page, int bits_per_pixel, Page& out);
// Removes page `page` (from 1) of a multi-page TIFF; the other pages stay byte for byte as
// they were. The file is rewritten beside and renamed over; a file's only page is refused.
ImagingStatus DeletePage(const std::filesystem::path& path, int page);

enum class PageAction { kContinue, kStop };
// Called once per scanned side, on the thread that called Acquire.
using PageHandler = std::function<PageAction(Page& page)>;

// The program's own scanner options dialog, opened before an acquisition in the setup and
// shown dialog modes. It starts from the values the device holds; the values it leaves are
// applied before scanning.
class ScanOptionsDialog {
public:
    virtual ~ScanOptionsDialog() = default;
    // Returns false when the operator cancels, which cancels the acquisition.
    virtual bool Edit(std::string_view source, ScannerValues& values) = 0;
};

// Sources are named "<vendor> <model>" for SANE devices ("<vendor> <model> [<device>]" when
// two devices share the text) and "folder:<DIR>" for feeder folders. A feeder folder feeds
// its image files (TIFF of any page count, JPEG, PNG, PBM/PGM/PPM) in name order, the pages
// of a file in order; a file moves into DIR/done once each of its pages was saved. A page
// that comes back from the handler unsaved stays first in the feeder and ends the
// acquisition.
class ImagingControl {
public:
    virtual ~ImagingControl() = default;

    // Lists the sources again: devices found now, then the feeder folders.
    virtual void RefreshSources() = 0;
    virtual int SourceCount() = 0;
    virtual std::string SourceName(int index) = 0;  // "" outside the list
    // Selects a listed source by its name (a SANE device also by its device name; any
    // "folder:DIR" of an existing folder is added to the list). Closes the previous source.
    virtual bool SelectSource(std::string_view name) = 0;
    virtual std::string SelectedSource() const = 0;

    // The values applied at the next acquisition (or ApplyScannerValues); they persist.
    virtual void SetScannerValues(const ScannerValues& values) = 0;
    // The values as the source holds them now: after an acquisition or an apply, what the
    // device took (which may differ from what was asked).
    virtual ScannerValues ReadScannerValues() = 0;
    // Opens the source if needed and applies the values without scanning.
    virtual ImagingStatus ApplyScannerValues() = 0;
    // What the open source offers (inside the options dialog, or after an apply); nothing
    // when no source is open.
    virtual ScannerLimits ReadScannerLimits() = 0;

    virtual void SetPagesToAcquire(int pages) = 0;  // kAllPages or a count above 0
    virtual int DuplexCapability() = 0;             // kNoDuplex or kDuplex
    virtual void SetDuplex(bool on) = 0;
    virtual void SetDialogMode(DialogMode mode) = 0;
    // The dialog stays owned by the caller; nullptr never shows one.
    virtual void SetOptionsDialog(ScanOptionsDialog* dialog) = 0;

    // Scans, calling `on_page` once per side. A flatbed gives one page (or the count asked);
    // a feeder gives pages until it is empty, which ends the acquisition normally unless it
    // was empty from the start (kNoDocuments). A stop (the handler's kStop or RequestStop)
    // takes effect at the end of a sheet: with duplex on, a front side's back still comes.
    // A device fault ends the acquisition with its code; the pages handled before it stay.
    virtual ImagingStatus Acquire(const PageHandler& on_page) = 0;
    // Ends the acquisition in progress after its current sheet; safe from any thread.
    virtual void RequestStop() = 0;
    // Ends the connection to the device; the next acquisition opens it again.
    virtual void CloseSource() = 0;

    // Details of the last failure (device message, file name), empty after a success.
    virtual std::string LastErrorText() const = 0;
};

class SaneBackend;

struct ImagingControlSetup {
    // The SANE library; empty takes the system's.
    std::shared_ptr<SaneBackend> sane;
    // Folders listed as "folder:DIR" sources after the devices.
    std::vector<std::filesystem::path> feeder_folders;
};

std::unique_ptr<ImagingControl> MakeImagingControl(ImagingControlSetup setup = {});

}  // namespace scantora
