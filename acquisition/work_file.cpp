#include "acquisition/work_file.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "acquisition/naming_text.h"
#include "acquisition/scanner/durable_file.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNoteSuffix = ".dest";

fs::path NoteOf(const fs::path& work_file) {
    fs::path note = work_file;
    note += kNoteSuffix;
    return note;
}

bool Inside(const fs::path& path, const fs::path& root) {
    const fs::path a = path.lexically_normal();
    const fs::path b = root.lexically_normal();
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) continue;  // a trailing separator
        if (ai == a.end() || *ai != *bi) return false;
    }
    return true;
}

ImagingStatus CopyInto(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return ImagingStatus::kFileNotFound;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (in.bad()) return ImagingStatus::kWriteFailed;
    return ReplaceFile(to, bytes);
}

void RemoveQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

}  // namespace

std::optional<fs::path> WorkDirectory(std::string_view disco_work, std::string_view disco_scarico) {
    if (disco_work.empty()) return std::nullopt;
    const std::string work = ToNativeSeparators(disco_work);
    if (work.empty() || work.front() != '/') return std::nullopt;
    const fs::path root(ToNativeSeparators(disco_scarico));
    if (Inside(work, root)) return std::nullopt;
    return fs::path(work);
}

fs::path WorkFileOf(const fs::path& work_dir, const fs::path& document) {
    return work_dir / document.filename();
}

std::optional<fs::path> RecoverWorkFile(const fs::path& work_file) {
    std::ifstream note(NoteOf(work_file), std::ios::binary);
    std::string place;
    if (!note || !std::getline(note, place) || place.empty()) return std::nullopt;
    std::error_code error;
    if (fs::exists(work_file, error)) {
        fs::create_directories(fs::path(place).parent_path(), error);
        if (CopyInto(work_file, place) != ImagingStatus::kOk) return std::nullopt;
        RemoveQuietly(work_file);
    }
    RemoveQuietly(NoteOf(work_file));
    return fs::path(place);
}

ImagingStatus BeginWorkFile(const fs::path& work_file, const fs::path& document, bool append) {
    RecoverWorkFile(work_file);
    std::error_code error;
    fs::remove(work_file, error);
    if (error) return ImagingStatus::kWriteFailed;
    const std::string place = document.string() + "\n";
    const ImagingStatus noted =
        ReplaceFile(NoteOf(work_file), std::vector<std::uint8_t>(place.begin(), place.end()));
    if (noted != ImagingStatus::kOk) return noted;
    if (append && fs::exists(document, error)) return CopyInto(document, work_file);
    return ImagingStatus::kOk;
}

ImagingStatus FinishWorkFile(const fs::path& work_file, const fs::path& document) {
    std::error_code error;
    if (fs::exists(work_file, error)) {
        const ImagingStatus copied = CopyInto(work_file, document);
        if (copied != ImagingStatus::kOk) return copied;
        RemoveQuietly(work_file);
    }
    RemoveQuietly(NoteOf(work_file));
    return ImagingStatus::kOk;
}

}  // namespace scantora
