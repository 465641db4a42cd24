#include "transfer/move_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "acquisition/naming_text.h"
#include "acquisition/scanner/durable_file.h"
#include "acquisition/scanner/imaging_control.h"
#include "config/numeric_text.h"
#include "config/path_text.h"
#include "operator/fixed_messages.h"
#include "transfer/job_patterns.h"
#include "transfer/page_placement.h"
#include "transfer/transfer_model.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDefaultSemaphoreName = "semaf.txt";
constexpr std::string_view kBatchExportName = "Barcode.txt";
constexpr std::string_view kRecurseOption = "/s";
constexpr std::string_view kRecursiveCallOption = "/r";
constexpr long kSemaphoreBeforeFirstFile = 0;
constexpr long kSemaphoreAfterLastFile = 1;
constexpr char kSeparator = '/';

bool EndsWithSeparator(std::string_view text) {
    return !text.empty() && text.back() == kSeparator;
}

// Both search patterns ("*.*" and "*") list every name that begins with the prefix's file-name
// part, ignoring case, as the find functions of the system the paths come from did; a "?" of
// a composed path stands for any character.
bool NameBegins(std::string_view name, std::string_view prefix) {
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (prefix[i] != '?' && UpperAscii(prefix[i]) != UpperAscii(name[i])) return false;
    }
    return true;
}

bool HasOption(std::string_view options, std::string_view option) {
    return UpperAscii(options).find(UpperAscii(option)) != std::string::npos;
}

// The path after DISCO_SCARICO and the one separator that follows it; nothing for a path
// outside the work area, which has no place in the destination tree.
std::optional<std::string> RelativeToWorkArea(std::string_view path, std::string_view root) {
    if (root.empty() || !path.starts_with(root)) return std::nullopt;
    std::string_view rest = path.substr(root.size());
    if (!EndsWithSeparator(root)) {
        if (rest.empty() || rest.front() != kSeparator) return std::nullopt;
        rest.remove_prefix(1);
    }
    if (rest.empty()) return std::nullopt;
    return std::string(rest);
}

std::string JoinUnder(std::string_view root, std::string_view relative) {
    std::string path(root);
    if (!EndsWithSeparator(path)) path += kSeparator;
    return path + std::string(relative);
}

// The text of the status field with "->" and `destination` after it.
std::string StatusWithDestination(std::string status, std::string_view destination) {
    const std::size_t arrow = status.find("->");
    if (arrow == std::string::npos)
        status += "->";
    else
        status.erase(arrow + 2);
    return status + std::string(destination);
}

void MakeSemaphore(const std::string& path, Operator& op) {
    FileDescriptor fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd || close(fd.release()) != 0) {
        op.Inform(fixed_message::kSemaphoreCreation);
        return;
    }
    // The downstream system may start on it: it must not outlive the pages it announces.
    SyncDirectory(NativePath(DirectoryPart(path)));
}

BarcodeExports ExportsFor(const JobRecord& job, std::string_view destination_directory,
                          std::string_view destination_root) {
    BarcodeExports exports;
    exports.images_path = std::string(destination_directory);
    std::string first;
    if (!job.nomefilebarcode.empty()) {
        std::string directory = ToNativeSeparators(job.nomefilebarcode);
        if (EndsWithSeparator(directory)) directory.pop_back();
        std::string_view below = destination_directory;
        if (below.starts_with(destination_root)) below.remove_prefix(destination_root.size());
        std::string name;
        for (char c : below) {
            if (c != kSeparator) name += c;
        }
        first = directory + kSeparator + name + ".txt";
    }
    exports.export_file = first;
    exports.export_file2 = LeadingNumber(job.exportbarcodeinbatch) != 0
                               ? JoinUnder(destination_directory, kBatchExportName)
                               : std::string();
    return exports;
}

struct Outcome {
    int moved = 0;
    std::optional<bool> last_moved;  // of the last file handled; none when none was
};

class Mover {
public:
    Mover(const MoveContext& context, const DiscoveryPatterns& selection,
          std::string destination_root)
        : context_(context),
          job_(context.job),
          selection_(selection),
          work_root_(ToNativeSeparators(job_.disco_scarico)),
          destination_root_(std::move(destination_root)),
          to_bin_(UpperAscii(destination_root_) == kBinDestination) {}

    Outcome MoveDirectory(const std::string& prefix, const std::string& options);

private:
    struct Entry {
        std::string name;
        bool directory = false;
        bool regular = false;
    };
    // One handled file in listing order: its placement, or an outcome known at once; a
    // subdirectory's last file is not this directory's own.
    struct Handled {
        int placement = -1;
        bool moved = false;
        bool own = true;
    };

    std::vector<Entry> List(const std::string& directory, std::string_view name_prefix) const;
    bool IsDestinationRoot(const fs::path& directory) const;
    void ExportPages(const std::string& destination);

    const MoveContext& context_;
    const JobRecord& job_;
    const DiscoveryPatterns& selection_;
    const std::string work_root_;
    const std::string destination_root_;
    const bool to_bin_;
};

std::vector<Mover::Entry> Mover::List(const std::string& directory,
                                      std::string_view name_prefix) const {
    // The whole listing first: the move adds and removes names while it works.
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::directory_iterator
             it(directory.empty() ? fs::path(".") : NativePath(directory), error),
         end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with('.') || !NameBegins(name, name_prefix)) continue;
        const fs::file_status status = it->symlink_status(error);
        if (error) {
            error.clear();
            continue;
        }
        entries.push_back({name, fs::is_directory(status), fs::is_regular_file(status)});
    }
    return entries;
}

// A destination tree inside the document's directory is not walked as part of it.
bool Mover::IsDestinationRoot(const fs::path& directory) const {
    std::error_code error;
    return fs::equivalent(directory, NativePath(destination_root_), error) && !error;
}

void Mover::ExportPages(const std::string& destination) {
    if (LeadingNumber(job_.barcode) == 0 || !context_.page_export) return;
    int pages = 1;
    if (job_.multitiff.starts_with('Y') &&
        CountPages(NativePath(destination), pages) != ImagingStatus::kOk)
        pages = 0;
    const std::string directory = DirectoryPart(destination);
    const BarcodeExports exports = ExportsFor(job_, directory, destination_root_);
    for (int page = 1; page <= pages; ++page) {
        // The copy in place is the page byte for byte, and its name carries the upper-case
        // base name the export line shows.
        const BarcodeRead read =
            context_.page_export(destination, static_cast<int16_t>(page), exports);
        if (read.error != 0) {
            char text[64];
            std::snprintf(text, sizeof text, fixed_message::kBarcodeRecognition.data(),
                          static_cast<int>(read.error));
            context_.op.Inform(text);
        }
    }
}

Outcome Mover::MoveDirectory(const std::string& prefix, const std::string& options) {
    const std::size_t cut = prefix.rfind(kSeparator);
    const std::string directory = cut == std::string::npos ? "" : prefix.substr(0, cut + 1);
    const std::string name_prefix = prefix.substr(directory.size());
    const bool recurse = HasOption(options, kRecurseOption);
    const long semaphore = LeadingNumber(job_.semaforo);
    const long semaphore_moment = LeadingNumber(job_.semaforo_momentocreaz);

    Outcome outcome;
    PagePlacement placement;
    std::vector<Handled> handled;
    std::string semaphore_path;
    bool semaphore_made = false;

    for (const Entry& entry : List(directory, name_prefix)) {
        if (entry.directory) {
            if (!recurse || IsDestinationRoot(NativePath(directory + entry.name))) continue;
            const Outcome below = MoveDirectory(directory + entry.name + kSeparator,
                                                options + std::string(kRecursiveCallOption));
            outcome.moved += below.moved;
            if (below.last_moved) handled.push_back({-1, *below.last_moved, false});
            continue;
        }
        // Pipes, devices and links are no page files.
        if (!entry.regular) continue;
        const std::string source_path = DiscoveryPath(directory, entry.name);
        if (!MatchDiscoveryPath(source_path, selection_)) continue;

        if (to_bin_) {
            handled.push_back({-1, true});
            context_.progress.Step();
            continue;
        }
        const std::optional<std::string> relative = RelativeToWorkArea(source_path, work_root_);
        if (!relative) {
            handled.push_back({-1, false});
            context_.progress.Step();
            continue;
        }
        const std::string destination = JoinUnder(destination_root_, *relative);
        std::error_code ignored;
        fs::create_directories(NativePath(DirectoryPart(destination)), ignored);
        context_.progress.SetStatus(StatusWithDestination(context_.progress.Status(), destination));

        if (semaphore > 0 && semaphore_path.empty()) {
            const std::string& name = job_.semaforo_nomefile;
            semaphore_path =
                JoinUnder(DirectoryPart(destination),
                          name.empty() ? kDefaultSemaphoreName : std::string_view(name));
        }
        if (semaphore > 0 && semaphore_moment == kSemaphoreBeforeFirstFile && !semaphore_made) {
            MakeSemaphore(semaphore_path, context_.op);
            semaphore_made = true;
        }

        const int index =
            placement.Place(NativePath(directory + entry.name), NativePath(destination));
        handled.push_back({index, false});
        if (index >= 0) ExportPages(destination);
        context_.progress.Step();
    }

    // The semaphore announces pages that lie durably in place, and comes before they leave
    // the work area: a move stopped in between repeats them and the semaphore alike.
    placement.Flush();
    const auto last_own =
        std::find_if(handled.rbegin(), handled.rend(), [](const Handled& h) { return h.own; });
    const bool last_arrived =
        last_own != handled.rend() &&
        (last_own->placement >= 0 ? placement.Durable(last_own->placement) : last_own->moved);
    if (semaphore > 0 && semaphore_moment == kSemaphoreAfterLastFile && !semaphore_made &&
        !semaphore_path.empty() && last_arrived)
        MakeSemaphore(semaphore_path, context_.op);
    placement.RemoveSources();
    for (const Handled& h : handled) {
        const bool moved = h.placement >= 0 ? placement.Moved(h.placement) : h.moved;
        if (h.own) outcome.moved += moved ? 1 : 0;
        outcome.last_moved = moved;
    }
    return outcome;
}

}  // namespace

int MoveFiles2(const MoveContext& context, const std::string& source_prefix,
               const std::string& destination_root, const std::string& options) {
    std::optional<DiscoveryPatterns> own;
    if (!context.selection)
        own = BuildJobDiscoveryPatterns(context.job, ShownLevelCount(context.job, false));
    Mover mover(context, context.selection ? *context.selection : *own,
                ToNativeSeparators(destination_root));
    const Outcome outcome = mover.MoveDirectory(ToNativeSeparators(source_prefix), options);
    return outcome.last_moved == false ? -1 : outcome.moved;
}

PageExport BarlynxPageExport(CBarlynx& barlynx, const JobRecord& job) {
    return [&barlynx, &job](const std::string& file, int16_t page, const BarcodeExports& exports) {
        return barlynx.ReadPage(job, file, page, exports);
    };
}

}  // namespace scantora
