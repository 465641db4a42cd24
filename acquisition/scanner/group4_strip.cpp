#include "acquisition/scanner/group4_strip.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "acquisition/scanner/pixdoc_lock.h"
#include "pixdoc32.h"

namespace scantora {
namespace {

// The writer never codes a row in more than one byte per pixel and a few bytes of codes.
constexpr size_t kRowOverheadBytes = 256;
constexpr size_t kPageOverheadBytes = 64 * 1024;

// Memory output bounded by the buffer, so that a wrong bound is a refusal, never an overrun.
bool SetMemoryTarget(CompressionRecord& record, std::uint8_t* buffer, size_t capacity) {
    const std::string name = "MEMORYDIRECT," + std::to_string(capacity);
    if (name.size() >= sizeof record.target_name) return false;
    std::memcpy(record.target_name, name.c_str(), name.size() + 1);
    record.start = reinterpret_cast<intptr_t>(buffer);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> Group4Strip(PIX* pix) {
    const int width = pixGetWidth(pix), height = pixGetHeight(pix);
    const int row_bytes = (width + 7) / 8;
    const size_t capacity =
        static_cast<size_t>(height) * (static_cast<size_t>(width) + kRowOverheadBytes) +
        kPageOverheadBytes;
    // Left uninitialised: only the coded bytes are ever touched.
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[capacity]);
    if (!buffer) return std::nullopt;
    CompressionRecord record{};
    record.coding = PX_CODE_GROUP4;
    record.width = width;
    if (!SetMemoryTarget(record, buffer.get(), capacity)) return std::nullopt;

    std::vector<std::uint8_t> row(static_cast<size_t>(row_bytes));
    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    const std::lock_guard lock(PixdocLock());
    if (CompressionStart(&record) != 0) return std::nullopt;
    bool coded = true;
    for (int y = 0; y < height && coded; ++y) {
        PackWords(data + static_cast<size_t>(y) * wpl, row_bytes, row.data());
        coded = CompressLine(&record, row.data()) >= 0;
    }
    // The end also releases the writer's buffers after a failed line.
    if (CompressEnd(&record) != 0 || !coded) return std::nullopt;
    return std::vector<std::uint8_t>(buffer.get(), buffer.get() + record.bytes_delivered);
}

}  // namespace scantora
