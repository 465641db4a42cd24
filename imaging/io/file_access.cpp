#include "imaging/io/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "imaging/io/special_names.h"

namespace pixdoc::files {
namespace {

constexpr size_t kPrefixLength = kMemoryImagePrefix.size();
constexpr int kRawHeaderFields = 7;

// Reads a decimal number (optional sign, as the C library's strtoll does) and moves past it.
bool ReadNumber(const char*& p, int64_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE) return false;
    value = v;
    p = end;
    return true;
}

bool ReadUnsigned(const char*& p, uint64_t& value) {
    if (*p == '-') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(p, &end, 10);
    if (end == p || errno == ERANGE) return false;
    value = v;
    p = end;
    return true;
}

// The optional ",<size>" that bounds a memory image.
bool ReadOptionalSize(const char*& p, int64_t& size) {
    if (*p != ',') return true;
    ++p;
    return ReadNumber(p, size) && size >= 0;
}

void ParseMemoryImage(const char* p, ParsedName& out) {
    out.kind = NameKind::kMemoryImage;
    out.valid = ReadUnsigned(p, out.address) && out.address != 0 && ReadOptionalSize(p, out.size) &&
                *p == '\0';
}

void ParseMemoryRaw(const char* p, ParsedName& out) {
    out.kind = NameKind::kMemoryRaw;
    out.valid = false;
    if (!ReadUnsigned(p, out.address) || out.address == 0) return;
    for (int i = 0; i < kRawHeaderFields; ++i) {
        int64_t v = 0;
        if (*p != ',') return;
        ++p;
        if (!ReadNumber(p, v) || v < std::numeric_limits<int32_t>::min() ||
            v > std::numeric_limits<int32_t>::max())
            return;
        out.raw_header[i] = static_cast<int32_t>(v);
    }
    out.valid = ReadOptionalSize(p, out.size);
}

void ParseTiffDirectory(const char* name, ParsedName& out) {
    out.kind = NameKind::kTiffDirectory;
    out.valid = false;
    const char* comma = std::strchr(name, ',');
    if (!comma || static_cast<size_t>(comma - name) >= kDirectoryNameCommaLimit) return;
    const char* p = name + kPrefixLength;
    uint64_t offset = 0;
    if (!ReadUnsigned(p, offset) || p != comma || offset > std::numeric_limits<uint32_t>::max())
        return;
    out.directory = static_cast<uint32_t>(offset);
    out.path = comma + 1;
    out.valid = !out.path.empty();
}

MemorySlot* Slot(int32_t handle) {
    if (!IsMemoryHandle(handle)) return nullptr;
    MemorySlot& slot = FileAccess().slots[handle - kFirstMemoryHandle];
    return slot.used ? &slot : nullptr;
}

int32_t TakeMemorySlot(const ParsedName& parsed, bool writable) {
    FileAccessState& state = FileAccess();
    for (int i = 0; i < kMaxMemoryImages; ++i) {
        MemorySlot& slot = state.slots[i];
        if (slot.used) continue;
        slot = MemorySlot{};
        slot.used = true;
        slot.base = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(parsed.address));
        if (writable) slot.writable = const_cast<uint8_t*>(slot.base);
        slot.size = parsed.size;
        return kFirstMemoryHandle + i;
    }
    return kInvalidHandle;
}

// Disk handles are descriptors; they must stay below the memory handle range.
int32_t AdoptDescriptor(int fd) {
    if (fd < 0) return kInvalidHandle;
    if (fd >= kFirstMemoryHandle) {
        ::close(fd);
        return kInvalidHandle;
    }
    return fd;
}

int32_t OpenDisk(const std::string& path) {
    if (path.empty()) return kInvalidHandle;
    return AdoptDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

int64_t MemoryAvailable(const MemorySlot& slot, int64_t wanted) {
    if (slot.size < 0) return wanted;
    const int64_t left = slot.size - slot.position;
    return left <= 0 ? 0 : (left < wanted ? left : wanted);
}

}  // namespace

ParsedName ParseName(const char* name) {
    ParsedName out;
    if (!name || !*name) {
        out.valid = false;
        return out;
    }
    if (HasNamePrefix(name, kMemoryImagePrefix))
        ParseMemoryImage(name + kPrefixLength, out);
    else if (HasNamePrefix(name, kMemoryRawPrefix))
        ParseMemoryRaw(name + kPrefixLength, out);
    else if (HasNamePrefix(name, kTiffDirectoryPrefix))
        ParseTiffDirectory(name, out);
    else
        out.path = name;
    return out;
}

int32_t FileOpen(const char* name) {
    const ParsedName parsed = ParseName(name);
    if (parsed.kind != NameKind::kDisk) ++FileAccess().special_name_opens;
    if (!parsed.valid) return kInvalidHandle;
    switch (parsed.kind) {
        case NameKind::kMemoryImage:
        case NameKind::kMemoryRaw:
            return TakeMemorySlot(parsed, false);
        case NameKind::kTiffDirectory:
        case NameKind::kDisk:
            return OpenDisk(parsed.path);
    }
    return kInvalidHandle;
}

int32_t FileCreate(const char* name) {
    const ParsedName parsed = ParseName(name);
    if (!parsed.valid) return kInvalidHandle;
    if (parsed.kind == NameKind::kMemoryImage) return TakeMemorySlot(parsed, true);
    if (parsed.kind != NameKind::kDisk || parsed.path.empty()) return kInvalidHandle;
    constexpr mode_t kReadWrite = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    return AdoptDescriptor(
        ::open(parsed.path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, kReadWrite));
}

int32_t FileRead(int32_t handle, void* buffer, int32_t count) {
    if (count < 0 || (count > 0 && !buffer)) return -1;
    if (MemorySlot* slot = Slot(handle)) {
        const int64_t n = MemoryAvailable(*slot, count);
        if (n > 0) std::memcpy(buffer, slot->base + slot->position, static_cast<size_t>(n));
        slot->position += n;
        return static_cast<int32_t>(n);
    }
    if (handle < 0 || handle >= kFirstMemoryHandle) return -1;
    int32_t total = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (total < count) {
        const ssize_t n = ::read(handle, out + total, static_cast<size_t>(count - total));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return total > 0 ? total : -1;
        if (n == 0) break;
        total += static_cast<int32_t>(n);
    }
    return total;
}

int32_t FileWrite(int32_t handle, const void* buffer, int32_t count) {
    if (count < 0 || (count > 0 && !buffer)) return -1;
    if (MemorySlot* slot = Slot(handle)) {
        if (!slot->writable) return -1;
        const int64_t n = MemoryAvailable(*slot, count);
        if (n > 0) std::memcpy(slot->writable + slot->position, buffer, static_cast<size_t>(n));
        slot->position += n;
        return static_cast<int32_t>(n);
    }
    if (handle < 0 || handle >= kFirstMemoryHandle) return -1;
    int32_t total = 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (total < count) {
        const ssize_t n = ::write(handle, in + total, static_cast<size_t>(count - total));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<int32_t>(n);
    }
    return total;
}

int64_t FileSeek(int32_t handle, int64_t offset, SeekOrigin origin) {
    if (MemorySlot* slot = Slot(handle)) {
        if (origin == SeekOrigin::kEnd) {
            slot->position = slot->size < 0 ? 0 : slot->size;
            return slot->size < 0 ? 0 : slot->size;
        }
        if (offset < 0 || offset >= kMemorySeekLimit) return -1;
        slot->position = offset;
        return offset;
    }
    if (handle < 0 || handle >= kFirstMemoryHandle) return -1;
    if (origin == SeekOrigin::kEnd) return ::lseek(handle, 0, SEEK_END);
    if (offset < 0) return -1;
    return ::lseek(handle, offset, SEEK_SET);
}

int32_t FileClose(int32_t handle) {
    if (MemorySlot* slot = Slot(handle)) {
        *slot = MemorySlot{};
        return 0;
    }
    if (handle >= 0 && handle < kFirstMemoryHandle) return ::close(handle) == 0 ? 0 : -1;
    return 0;
}

bool IsMemoryHandle(int32_t handle) {
    return handle >= kFirstMemoryHandle && handle < kFirstMemoryHandle + kMaxMemoryImages;
}

FileAccessState& FileAccess() {
    static FileAccessState state;
    return state;
}

void ResetFileAccess() {
    FileAccess() = FileAccessState{};
}

}  // namespace pixdoc::files
