#include "config/line_reader.h"

namespace scantora {

bool ReadTextLine(std::istream& in, std::string& line, std::size_t max_kept) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    if (!in.good() || buffer == nullptr) {
        in.setstate(std::ios::failbit);
        return false;
    }
    bool read_any = false;
    bool dropped_cr_pending = false;  // a CR kept back until we know whether LF follows
    for (;;) {
        const auto next = buffer->sbumpc();
        if (next == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            if (!read_any) in.setstate(std::ios::failbit);
            break;
        }
        read_any = true;
        const char c = std::char_traits<char>::to_char_type(next);
        if (c == '\n') {
            dropped_cr_pending = false;
            break;
        }
        if (dropped_cr_pending && line.size() < max_kept) line.push_back('\r');
        dropped_cr_pending = (c == '\r');
        if (!dropped_cr_pending && line.size() < max_kept) line.push_back(c);
    }
    // A CR at the very end of the input is a character of the line, not a line end.
    if (dropped_cr_pending && line.size() < max_kept) line.push_back('\r');
    return read_any;
}

}  // namespace scantora
