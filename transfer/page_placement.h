// Moving page files so that no failure and no moment of a crash loses or cuts a page: each
// page is first put whole under its final name at the destination, made durable there, and
// only then removed from the work area. Between the two steps a page lies in both places, byte
// for byte the same; a second move finishes it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <vector>

namespace scantora {

// The name every copy is written to first, in the destination directory.
inline constexpr const char* kMoveTempName = "~temp.inv";

// One directory level of a move: Place() puts pages at their destinations, Flush() makes them
// durable there, RemoveSources() takes them out of the work area. A page counts as moved only
// after RemoveSources().
class PagePlacement {
public:
    // Puts a whole copy of `source` under `destination` (whose directory must exist), through
    // kMoveTempName beside it: a hard link within one file system, else a copy flushed to disk,
    // whose size must equal the source's. An existing file at `destination` is replaced only by
    // the finished copy. Returns the page's index for Durable() and Moved(), or -1 when the page
    // stays in the work area only (any old destination file untouched).
    int Place(const std::filesystem::path& source, const std::filesystem::path& destination);

    // Flushes the directories of the placed pages.
    void Flush();
    // Whether the page Place() gave `index` for lies durably at its destination.
    bool Durable(int index) const;

    // Removes the durable pages' sources. A source that cannot be removed takes its placed
    // copy back, so that the page lies in one place. The removals are left to the file
    // system's next flush.
    void RemoveSources();
    // Whether the page Place() gave `index` for has moved.
    bool Moved(int index) const;

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Placed {
        std::filesystem::path source;
        std::filesystem::path destination;
        Identity source_identity;
        Identity destination_identity;
        bool durable = false;
        bool moved = false;
    };

    static bool IdentityOf(const std::filesystem::path& path, Identity& identity);
    bool PutInPlace(const std::filesystem::path& source, const std::filesystem::path& destination,
                    Placed& placed);
    bool RemoveSource(Placed& placed);

    std::vector<Placed> placed_;
};

}  // namespace scantora
