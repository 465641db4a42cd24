#include "config/text_encoding.h"

#include <algorithm>

namespace scantora {
namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence that starts with `lead`, 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Rejects overlong forms, surrogates and code points above U+10FFFF.
bool SecondByteAllowed(unsigned char lead, unsigned char second) {
    if (lead == 0xE0) return second >= 0xA0;
    if (lead == 0xED) return second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90;
    if (lead == 0xF4) return second <= 0x8F;
    return true;
}

// Length of the valid UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t ValidSequenceAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || at + length > bytes.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(bytes[at + k]);
        if (!IsContinuation(c)) return 0;
        if (k == 1 && !SecondByteAllowed(lead, c)) return 0;
    }
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = ValidSequenceAt(bytes, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::size_t CharSizeAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    return std::max<std::size_t>(1, ValidSequenceAt(text, at));
}

std::string ToUtf8(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            text.push_back(byte);
        } else {
            text.push_back(static_cast<char>(0xC0 | (c >> 6)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return text;
}

std::string TruncateChars(std::string_view text, std::size_t max_chars) {
    std::size_t at = 0;
    for (std::size_t chars = 0; chars < max_chars && at < text.size(); ++chars)
        at += CharSizeAt(text, at);
    return std::string(text.substr(0, at));
}

std::size_t CharCount(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t at = 0; at < text.size(); at += CharSizeAt(text, at))
        ++chars;
    return chars;
}

std::string_view WithoutIncompleteTail(std::string_view bytes) {
    const std::size_t scan_from = bytes.size() > 3 ? bytes.size() - 3 : 0;
    for (std::size_t at = bytes.size(); at > scan_from; --at) {
        const auto c = static_cast<unsigned char>(bytes[at - 1]);
        if (IsContinuation(c)) continue;
        const std::size_t length = SequenceLength(c);
        if (length > 1 && at - 1 + length > bytes.size()) return bytes.substr(0, at - 1);
        break;
    }
    return bytes;
}

std::string FieldValue(std::string_view raw, std::size_t width) {
    // No character takes more than four bytes, so the rest cannot reach the field; a cut that
    // falls inside a character drops that character rather than the text's UTF-8 reading.
    constexpr std::size_t kMaxUtf8Bytes = 4;
    if (raw.size() > width * kMaxUtf8Bytes)
        raw = WithoutIncompleteTail(raw.substr(0, width * kMaxUtf8Bytes));
    return TruncateChars(ToUtf8(raw), width);
}

}  // namespace scantora
