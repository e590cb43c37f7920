#include "cli/MessageText.h"

#include "core/csv/Csv.h"

#include <cstdio>

namespace CalcCli {
namespace {

constexpr std::size_t kLongest = 60;

void AppendEscaped(std::string& out, unsigned code) {
    switch (code) {
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", code);
    out += buf;
}

// Escapes C0 and C1 controls and DEL; with `quote`, also the quote and the
// backslash. Stops after `limit` characters, telling whether it did.
bool Escape(std::string& out, std::string_view text, bool quote, std::size_t limit) {
    const std::string valid = Csv::ToValidUtf8(text);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto byte = static_cast<unsigned char>(valid[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == limit) {
            return true;
        }
        if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, byte);
        } else if (byte == 0xC2 && i + 1 < valid.size() &&
                   static_cast<unsigned char>(valid[i + 1]) < 0xA0) {
            AppendEscaped(out, static_cast<unsigned char>(valid[++i]));
        } else if (quote && (byte == '"' || byte == '\\')) {
            out += '\\';
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(byte);
        }
    }
    return false;
}

} // namespace

std::string Printable(std::string_view text) {
    std::string out;
    Escape(out, text, false, std::string_view::npos);
    return out;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    const bool cut = Escape(out, text, true, kLongest);
    out += cut ? "\"..." : "\"";
    return out;
}

} // namespace CalcCli
