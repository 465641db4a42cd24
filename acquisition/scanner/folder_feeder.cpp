#include "acquisition/scanner/folder_feeder.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <utility>

namespace scantora {
namespace {

constexpr std::array<std::string_view, 9> kImageExtensions{".tif", ".tiff", ".jpg", ".jpeg", ".png",
                                                           ".pbm", ".pgm",  ".ppm", ".pnm"};
// Names tried in done/ when the plain name is taken: "scan-2.tif", "scan-3.tif", ...
constexpr int kMaxDoneNames = 10000;

bool IsImageName(const std::filesystem::path& name) {
    const std::string text = name.string();
    if (text.empty() || text.front() == '.') return false;
    std::string extension = name.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::find(kImageExtensions.begin(), kImageExtensions.end(), extension) !=
           kImageExtensions.end();
}

// Renames without replacing: a name in done/ that is already taken is never overwritten.
bool RenameNew(const std::filesystem::path& from, const std::filesystem::path& to, bool& taken) {
    taken = false;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) {
        taken = true;
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the flag: check, then rename.
    std::error_code ec;
    if (std::filesystem::exists(to, ec)) {
        taken = true;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

ImagingStatus ListFeederFiles(const std::filesystem::path& folder,
                              std::vector<std::filesystem::path>& files) {
    files.clear();
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return ImagingStatus::kFolderUnavailable;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) return ImagingStatus::kFolderUnavailable;
        std::error_code type_ec;
        if (it->is_regular_file(type_ec) && IsImageName(it->path().filename()))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.filename().string() < b.filename().string();
    });
    return ImagingStatus::kOk;
}

ImagingStatus FolderFeeder::Fail(ImagingStatus status, const std::filesystem::path& file) {
    error_ = std::string(DescribeStatus(status)) + ": " + file.string();
    return status;
}

ImagingStatus FolderFeeder::Open() {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder_, ec))
        return Fail(ImagingStatus::kFolderUnavailable, folder_);
    return ImagingStatus::kOk;
}

ScannerValues FolderFeeder::Read() {
    ScannerValues values;
    if (last_resolution_ > 0) values.resolution = last_resolution_;
    return values;
}

ImagingStatus FolderFeeder::BeginBatch(int pages, bool duplex, BatchPlan& plan) {
    error_.clear();
    plan = {pages, duplex};
    return Open();
}

ImagingStatus FolderFeeder::NextPage(Page& page, bool& feeder_empty) {
    feeder_empty = false;
    std::error_code ec;
    if (!file_.empty() && !std::filesystem::exists(file_, ec)) file_.clear();
    if (file_.empty()) {
        std::vector<std::filesystem::path> files;
        if (ListFeederFiles(folder_, files) != ImagingStatus::kOk)
            return Fail(ImagingStatus::kFolderUnavailable, folder_);
        std::erase_if(files, [this](const auto& f) { return not_moved_.contains(f); });
        if (files.empty()) {
            feeder_empty = true;
            return ImagingStatus::kOk;
        }
        if (CountPages(files.front(), pages_) != ImagingStatus::kOk || pages_ < 1)
            return Fail(ImagingStatus::kUnreadableInput, files.front());
        file_ = files.front();
        next_page_ = 0;
    }
    if (LoadPage(file_, next_page_ + 1, 0, page) != ImagingStatus::kOk)
        return Fail(ImagingStatus::kUnreadableInput, file_);
    last_resolution_ = page.XResolution();
    return ImagingStatus::kOk;
}

ImagingStatus FolderFeeder::PageHandled(const Page& page, bool& keep_going) {
    // An unsaved page stays first in the feeder, like a sheet left in the tray.
    keep_going = page.Saved();
    if (!keep_going || ++next_page_ < pages_) return ImagingStatus::kOk;
    const std::filesystem::path fed = std::exchange(file_, {});
    return MoveToDone(fed);
}

ImagingStatus FolderFeeder::MoveToDone(const std::filesystem::path& file) {
    const std::filesystem::path done = folder_ / kDoneFolder;
    std::error_code ec;
    std::filesystem::create_directory(done, ec);
    const std::string stem = file.stem().string(), extension = file.extension().string();
    for (int n = 1; n <= kMaxDoneNames; ++n) {
        const std::string name =
            n == 1 ? file.filename().string() : stem + "-" + std::to_string(n) + extension;
        bool taken = false;
        if (RenameNew(file, done / name, taken)) return ImagingStatus::kOk;
        if (!taken) break;
    }
    not_moved_.insert(file);
    return Fail(ImagingStatus::kInputNotMoved, file);
}

}  // namespace scantora
