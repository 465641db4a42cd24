// File access layer: every image read and write of the library goes through integer handles
// from here. Besides disk paths it understands three special names:
//   "MD:<address>[,<size>]"  an image file held in memory at a decimal address;
//   "ML:<address>,<width>,<height>,<xres>,<yres>,<code>,<fill order>,<negative>[,<size>]"
//                            raw bilevel data in memory, its header given in the name;
//   "TH:<offset>,<path>"     a TIFF file whose page directory lies at <offset>.
// Memory images take handles from kFirstMemoryHandle, at most kMaxMemoryImages at a time.
// The optional ",<size>" bounds reads of a memory image (without it reads are trusted to stay
// within the caller's block, and a seek to the end reports 0).
#pragma once

#include <cstdint>
#include <string>

namespace pixdoc::files {

inline constexpr int32_t kInvalidHandle = -1;
inline constexpr int32_t kFirstMemoryHandle = 4096;
inline constexpr int kMaxMemoryImages = 10;
// Seeks of a memory image to this offset or beyond fail.
inline constexpr int64_t kMemorySeekLimit = 0xFFFFFF;
// The comma of a "TH:" name must stand within this many leading characters.
inline constexpr size_t kDirectoryNameCommaLimit = 16;

enum class NameKind { kDisk, kMemoryImage, kMemoryRaw, kTiffDirectory };

// What a name says about itself before any file is opened.
struct ParsedName {
    NameKind kind = NameKind::kDisk;
    bool valid = true;           // false: malformed special name, cannot be opened
    uint64_t address = 0;        // MD:, ML:
    int64_t size = -1;           // MD:, ML: optional bound; -1 unbounded
    std::string path;            // disk path; for TH: the file after the comma
    uint32_t directory = 0;      // TH: directory offset
    int32_t raw_header[7] = {};  // ML: width, height, xres, yres, code, fill order, negative
};

ParsedName ParseName(const char* name);

enum class SeekOrigin { kStart, kEnd };

// Opens a name for reading. Returns a handle, or kInvalidHandle. Opening a special name counts
// in special_name_opens, whatever the outcome.
int32_t FileOpen(const char* name);
// Creates or truncates a name for writing (disk files rw-rw-rw- before umask, "MD:" memory).
int32_t FileCreate(const char* name);
// Reads up to count bytes; returns the number read (0 at the end), or -1 on a bad handle.
int32_t FileRead(int32_t handle, void* buffer, int32_t count);
// Writes count bytes; returns the number written, or -1.
int32_t FileWrite(int32_t handle, const void* buffer, int32_t count);
// kStart: moves to offset and returns it. kEnd: moves to the end and returns the size (0 for an
// unbounded memory image). -1 when the seek fails.
int64_t FileSeek(int32_t handle, int64_t offset, SeekOrigin origin);
// Releases a handle: 0, or -1 when closing a disk file failed; unknown handles are ignored (0).
int32_t FileClose(int32_t handle);

bool IsMemoryHandle(int32_t handle);

// A name opened for reading, closed again when it goes out of scope.
class OpenedFile {
public:
    explicit OpenedFile(const char* name) : handle_(FileOpen(name)) {}
    ~OpenedFile() {
        if (ok()) FileClose(handle_);
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    bool ok() const { return handle_ != kInvalidHandle; }
    int32_t handle() const { return handle_; }

private:
    int32_t handle_;
};

// Library-wide state of this module: the memory image slots.
struct MemorySlot {
    bool used = false;
    const uint8_t* base = nullptr;
    uint8_t* writable = nullptr;  // set for images opened by FileCreate
    int64_t size = -1;            // -1: unbounded
    int64_t position = 0;
};

struct FileAccessState {
    MemorySlot slots[kMaxMemoryImages];
    // Opens of special names so far: the same name may then stand for other bytes, so caches
    // keyed by a name (the page cursor) forget it when this count has moved.
    uint64_t special_name_opens = 0;
};

FileAccessState& FileAccess();
// Closes every memory slot (tests).
void ResetFileAccess();

}  // namespace pixdoc::files
