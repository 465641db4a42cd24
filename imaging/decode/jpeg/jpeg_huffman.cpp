#include "imaging/decode/jpeg/jpeg_huffman.h"

namespace pixdoc::jpeg {
namespace {

constexpr int kSizeMask = 0x0F;

// Fills the combined look-ahead from the 8-bit one: every code of up to 8 bits whose value
// bits also fit within kFastBits gets its entries, one per value.
void BuildFastTable(HuffmanTable& table) {
    table.fast.fill(0);
    for (int index = 0; index < (1 << kFastBits); ++index) {
        const uint16_t entry = table.lookahead[index >> (kFastBits - kLookaheadBits)];
        const int length = entry >> 8;
        if (length == 0) continue;
        const int symbol = entry & 0xFF;
        const int size = symbol & kSizeMask;
        const int total = length + size;
        if (total > kFastBits) continue;
        int value = 0;
        if (size) {
            const int bits = (index >> (kFastBits - total)) & ((1 << size) - 1);
            value = Extend(bits, size);
        }
        table.fast[index] =
            static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | (symbol << 8) | total;
    }
}

}  // namespace

HuffmanBuild BuildHuffmanTable(HuffmanTable& table) {
    int total = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length)
        total += table.counts[length];
    if (total > kMaxHuffmanSymbols) return HuffmanBuild::kTooMany;

    table.lookahead.fill(0);
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        int count = table.counts[length];
        table.val_offset[length] = index - code;
        table.max_code[length] = count ? code + count - 1 : -1;
        // Codes of this length must fit in `length` bits, or the table over-subscribes.
        if (code + count > (1 << length)) return HuffmanBuild::kOversubscribed;
        for (int i = 0; i < count; ++i, ++code, ++index) {
            if (length > kLookaheadBits) continue;
            int shift = kLookaheadBits - length;
            uint16_t entry = static_cast<uint16_t>((length << 8) | table.symbols[index]);
            for (int fill = 0; fill < (1 << shift); ++fill)
                table.lookahead[(code << shift) | fill] = entry;
        }
        code <<= 1;
    }
    table.max_code[kMaxCodeLength + 1] = kMaxCodeSentinel;
    BuildFastTable(table);
    table.defined = true;
    return HuffmanBuild::kOk;
}

void FillBits(BitReader& br, Input& in) {
    // Fast path: plain data bytes straight from the buffer.
    if (!br.stopped) {
        const uint8_t* p = in.data();
        const size_t available = in.available();
        size_t used = 0;
        while (br.bits <= 56 && used < available && p[used] != 0xFF) {
            br.acc |= static_cast<uint64_t>(p[used++]) << (56 - br.bits);
            br.bits += 8;
        }
        in.Advance(used);
    }
    while (br.bits <= 56) {
        if (br.stopped) {
            br.bits += 8;
            br.pad_bits += 8;
            continue;
        }
        if (in.available() < 2 && in.Ensure(2) < 2) {
            // Fewer than two bytes left: a last data byte is used, then the data has ended.
            if (in.available() == 1 && in.Peek(0) != 0xFF) {
                br.acc |= static_cast<uint64_t>(in.Take()) << (56 - br.bits);
                br.bits += 8;
            }
            br.stopped = true;
            br.marker = 0;
            continue;
        }
        uint8_t byte = in.Peek(0);
        if (byte == 0xFF) {
            uint8_t next = in.Peek(1);
            if (next == 0xFF) {  // fill byte before a marker
                in.Advance(1);
                continue;
            }
            if (next != 0) {  // a marker: leave it in the buffer for the caller
                br.stopped = true;
                br.marker = next;
                continue;
            }
            in.Advance(2);
        } else {
            in.Advance(1);
        }
        br.acc |= static_cast<uint64_t>(byte) << (56 - br.bits);
        br.bits += 8;
    }
}

}  // namespace pixdoc::jpeg
