#include "transfer/page_placement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "acquisition/scanner/durable_file.h"

namespace scantora {
namespace {

// Link errors that mean "not here": another file system, or one without hard links.
bool CopyInsteadOfLink(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == EOPNOTSUPP ||
           error == ENOSYS;
}

// Writes a copy of the open `source` to the new file `temp` and flushes it; the copy must be
// as long as the source was when it was opened.
bool CopyFlushed(int source, const struct stat& from, const std::filesystem::path& temp,
                 struct stat& to) {
    FileDescriptor out(
        open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, from.st_mode & 0777));
    if (!out) return false;
    // A full disk may show itself only when the data is flushed.
    if (!CopyContent(source, out.get()) || fsync(out.get()) != 0 || fstat(out.get(), &to) != 0)
        return false;
    return to.st_size == from.st_size && close(out.release()) == 0;
}

std::vector<std::filesystem::path> DistinctDirectories(std::vector<std::filesystem::path> paths) {
    for (auto& path : paths)
        path = path.parent_path();
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

}  // namespace

bool PagePlacement::IdentityOf(const std::filesystem::path& path, Identity& identity) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

int PagePlacement::Place(const std::filesystem::path& source,
                         const std::filesystem::path& destination) {
    Placed placed{source, destination, {}, {}, false};
    if (!PutInPlace(source, destination, placed)) return -1;
    placed_.push_back(std::move(placed));
    return static_cast<int>(placed_.size()) - 1;
}

bool PagePlacement::PutInPlace(const std::filesystem::path& source,
                               const std::filesystem::path& destination, Placed& placed) {
    // Non-blocking: a pipe in the work area must not hang the move.
    FileDescriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!in) return false;
    struct stat from {};
    if (fstat(in.get(), &from) != 0 || !S_ISREG(from.st_mode)) return false;
    placed.source_identity = {from.st_dev, from.st_ino};

    Identity existing;
    if (IdentityOf(destination, existing) && existing == placed.source_identity) {
        // An earlier move linked the page and stopped before removing the source; unless the
        // destination is the source itself, only the removal is left to do.
        Identity source_directory;
        Identity destination_directory;
        if (!IdentityOf(source.parent_path(), source_directory) ||
            !IdentityOf(destination.parent_path(), destination_directory))
            return false;
        if (source_directory == destination_directory &&
            source.filename() == destination.filename())
            return false;
        placed.destination_identity = existing;
        return true;
    }

    const std::filesystem::path temp = destination.parent_path() / kMoveTempName;
    // Whatever an earlier move left there is a copy of a page still in the work area.
    if (unlink(temp.c_str()) != 0 && errno != ENOENT) return false;
    if (link(source.c_str(), temp.c_str()) == 0) {
        placed.destination_identity = placed.source_identity;
    } else {
        if (!CopyInsteadOfLink(errno)) return false;
        struct stat to {};
        if (!CopyFlushed(in.get(), from, temp, to)) {
            unlink(temp.c_str());
            return false;
        }
        placed.destination_identity = {to.st_dev, to.st_ino};
    }
    // The temporary name must still be ours (another writer in the same directory would have
    // replaced it), and the rename is what replaces an older file of the same name.
    Identity temp_now;
    if (!IdentityOf(temp, temp_now) || temp_now != placed.destination_identity ||
        rename(temp.c_str(), destination.c_str()) != 0) {
        if (temp_now == placed.destination_identity) unlink(temp.c_str());
        return false;
    }
    return true;
}

void PagePlacement::Flush() {
    std::vector<std::filesystem::path> destinations;
    for (const Placed& placed : placed_)
        destinations.push_back(placed.destination);
    std::vector<std::filesystem::path> flushed;
    for (const auto& directory : DistinctDirectories(destinations)) {
        if (SyncDirectory(directory)) flushed.push_back(directory);
    }
    for (Placed& placed : placed_) {
        placed.durable = std::find(flushed.begin(), flushed.end(),
                                   placed.destination.parent_path()) != flushed.end();
    }
}

void PagePlacement::RemoveSources() {
    // A page not known to be durable stays in the work area too. The removals are not
    // flushed: one lost in a power cut brings back a page that also lies whole at the
    // destination, and the next move puts the same bytes there again.
    for (Placed& placed : placed_) {
        if (placed.durable) placed.moved = RemoveSource(placed);
    }
}

bool PagePlacement::RemoveSource(Placed& placed) {
    Identity now;
    bool gone = false;
    if (!IdentityOf(placed.source, now))
        gone = errno == ENOENT;
    else if (now != placed.source_identity)
        gone = true;  // another file took the name since; it is not the page that moved
    else
        gone = unlink(placed.source.c_str()) == 0 || errno == ENOENT;
    if (gone) return true;
    // The work area keeps the page, so the copy goes.
    Identity at_destination;
    if (IdentityOf(placed.destination, at_destination) &&
        at_destination == placed.destination_identity)
        unlink(placed.destination.c_str());
    return false;
}

bool PagePlacement::Durable(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < placed_.size() && placed_[index].durable;
}

bool PagePlacement::Moved(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < placed_.size() && placed_[index].moved;
}

}  // namespace scantora
