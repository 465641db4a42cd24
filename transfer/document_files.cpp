#include "transfer/document_files.h"

#include <algorithm>
#include <vector>

#include "acquisition/naming_text.h"
#include "config/text_encoding.h"
#include "transfer/work_area_walk.h"

namespace scantora {

namespace {

constexpr char kAnyCharacter = '?';

// The folder a walk for `document_path` starts in: its text up to the last separator before
// the first character that is not known ("?").
std::string StartFolder(std::string_view document_path) {
    const std::size_t known = std::min(document_path.find(kAnyCharacter), document_path.size());
    const std::size_t separator = document_path.substr(0, known).find_last_of("\\/");
    if (separator == std::string_view::npos) return {};
    return std::string(document_path.substr(0, separator + 1));
}

// Whether `document_path` goes on below `folder` (ending in a separator): the folder's text
// is a beginning of it, "?" in the document path matching any character.
bool LeadsThrough(std::string_view folder, std::string_view document_path) {
    std::size_t f = 0;
    std::size_t d = 0;
    while (f < folder.size()) {
        if (d >= document_path.size()) return false;
        const std::size_t f_size = CharSizeAt(folder, f);
        const std::size_t d_size = CharSizeAt(document_path, d);
        const std::string_view a = folder.substr(f, f_size);
        const std::string_view b = document_path.substr(d, d_size);
        const bool same =
            b == std::string_view(&kAnyCharacter, 1) ||
            (a.size() == 1 && b.size() == 1 && IsSeparator(a[0]) && IsSeparator(b[0])) ||
            UpperAscii(a) == UpperAscii(b);
        if (!same) return false;
        f += f_size;
        d += d_size;
    }
    return true;
}

class DocumentWalk {
public:
    DocumentWalk(const DocumentSelection& document, const DiscoveryPatterns& patterns, bool tidy)
        : document_(document), patterns_(patterns), tidy_(tidy) {}

    DocumentFiles Run() {
        for (const std::string& folder : StartFolders())
            Walk(folder);
        return files_;
    }

private:
    // Each folder once, and none below another: the walk of the shallower covers it.
    std::vector<std::string> StartFolders() const {
        std::vector<std::string> folders;
        for (const std::string& path : document_.paths) {
            std::string folder = StartFolder(path);
            if (!folder.empty()) folders.push_back(std::move(folder));
        }
        std::sort(folders.begin(), folders.end(),
                  [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        std::vector<std::string> starts;
        for (const std::string& folder : folders) {
            const bool covered = std::any_of(starts.begin(), starts.end(), [&](const auto& start) {
                return folder.rfind(start, 0) == 0;
            });
            if (!covered) starts.push_back(folder);
        }
        return starts;
    }

    bool UnderDocument(const std::string& folder) const {
        return std::any_of(
            document_.paths.begin(), document_.paths.end(),
            [&](const std::string& path) { return StartsWithDocumentPath(folder, path); });
    }

    bool MayHoldPages(const std::string& folder) const {
        return std::any_of(
            document_.paths.begin(), document_.paths.end(), [&](const std::string& path) {
                return StartsWithDocumentPath(folder, path) || LeadsThrough(folder, path);
            });
    }

    void Walk(const std::string& folder) {
        for (const WalkEntry& entry : ListDirectory(folder)) {
            if (entry.directory) {
                const std::string below = folder + entry.name + '/';
                if (!MayHoldPages(below)) continue;
                Walk(below);
                if (tidy_ && UnderDocument(below)) RemoveIfEmpty(below);
                continue;
            }
            if (!IsDocumentPage(DiscoveryPath(folder, entry.name), document_, patterns_)) continue;
            ++files_.count;
            files_.bytes += entry.size;
        }
    }

    const DocumentSelection& document_;
    const DiscoveryPatterns& patterns_;
    bool tidy_;
    DocumentFiles files_;
};

// Returns whether `folder` holds nothing any more.
bool TidyBelow(const std::string& folder) {
    bool empty = true;
    for (const WalkEntry& entry : ListDirectory(folder)) {
        if (!entry.directory) {
            empty = false;
            continue;
        }
        const std::string below = folder + entry.name + '/';
        if (!TidyBelow(below) || !RemoveIfEmpty(below)) empty = false;
    }
    return empty;
}

}  // namespace

DocumentFiles WalkDocumentFiles(const DocumentSelection& document,
                                const DiscoveryPatterns& patterns, bool tidy) {
    return DocumentWalk(document, patterns, tidy).Run();
}

void TidyWorkArea(const std::string& root) {
    const std::string searched = SearchedDirectory(root);
    if (searched.empty()) return;
    TidyBelow(searched);
}

}  // namespace scantora
