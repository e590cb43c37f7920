#include "core/csv/Csv.h"

#include <algorithm>
#include <cstring>

namespace Csv {
namespace {

constexpr int kEnd = -1;
constexpr std::size_t kBufferBytes = 64 * 1024;

// The length of the well-formed UTF-8 sequence at text[i], or 0 (Unicode's
// table of well-formed byte sequences: no overlong forms, no surrogates, nothing
// past U+10FFFF).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
        const unsigned b = byte(k);
        return i + k < text.size() && b >= lo && b <= hi;
    };
    const unsigned b0 = byte(0);
    if (b0 < 0x80) {
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const unsigned lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = b0 == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const unsigned lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = b0 == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

Reader::Reader(std::istream& in) : in_(in), buf_(kBufferBytes) {}

bool Reader::Refill() {
    // Keep what is not read yet, for the look-ahead.
    std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    if (!in_) {
        return false;
    }
    in_.read(buf_.data() + end_, static_cast<std::streamsize>(buf_.size() - end_));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    taken_ += got;
    return got > 0;
}

int Reader::Get() {
    if (pos_ == end_ && !Refill()) {
        return kEnd;
    }
    return static_cast<unsigned char>(buf_[pos_++]);
}

int Reader::Peek() {
    if (pos_ == end_ && !Refill()) {
        return kEnd;
    }
    return static_cast<unsigned char>(buf_[pos_]);
}

// A line end at c, just read: LF, CR LF or CR alone.
bool Reader::AtLineEnd(int c) {
    if (c != '\n' && c != '\r') {
        return false;
    }
    std::string_view kind = "\n";
    if (c == '\r') {
        kind = "\r";
        if (Peek() == '\n') {
            ++pos_;
            kind = "\r\n";
        }
    }
    if (!lineEndKnown_) {
        lineEnd_ = kind;
        lineEndKnown_ = true;
    }
    ++line_;
    return true;
}

// Past the cap the record's bytes are dropped, but its end is looked for only so
// far: beyond that the input is taken to have no line ends at all.
bool Reader::Overran() {
    if (recordBytes_ <= kMaxRecordBytes + kMaxSkipBytes) {
        return false;
    }
    if (stopped_.empty()) {
        stopped_ = "line " + std::to_string(recordLine_) + ": no line end within " +
                   std::to_string((kMaxRecordBytes + kMaxSkipBytes) >> 20) +
                   " MiB; reading stopped";
    }
    return true;
}

void Reader::SkipLine() {
    for (int c = Get(); c != kEnd && !AtLineEnd(c); c = Get()) {
        ++recordBytes_;
        if (Overran()) {
            return;
        }
    }
}

void Reader::Append(Record& record, char c) {
    if (++recordBytes_ <= kMaxRecordBytes) {
        record.fields.back() += c;
    }
}

void Reader::NextField(Record& record) {
    // Separators count to the record's length too, so no line of them grows it unbounded.
    if (++recordBytes_ <= kMaxRecordBytes) {
        record.fields.emplace_back();
    }
}

bool Reader::Next(Record& record) {
    record.fields.clear();
    record.error.clear();

    if (firstRecord_ && end_ - pos_ < 3) {
        Refill();
    }
    if (firstRecord_ && end_ - pos_ >= 3 &&
        std::memcmp(buf_.data() + pos_, "\xEF\xBB\xBF", 3) == 0) {
        pos_ += 3;
        bom_ = true;
    }

    if (!stopped_.empty()) {
        return false;
    }
    // Empty lines are no records.
    for (;;) {
        const int c = Peek();
        if (c == kEnd) {
            return false;
        }
        if (c != '\n' && c != '\r') {
            break;
        }
        ++pos_;
        AtLineEnd(c);
    }

    record.line = line_;
    recordLine_ = line_;
    recordBytes_ = 0;
    record.fields.emplace_back();
    const auto isSeparator = [this](int c) {
        if (detecting_ && (c == ',' || c == ';')) {
            sep_ = static_cast<char>(c);
            detecting_ = false;
        }
        return c == sep_;
    };
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote } state = State::FieldStart;
    for (bool done = false; !done;) {
        if (Overran()) {
            return false;
        }
        const int c = Get();
        switch (state) {
        case State::FieldStart:
            if (c == '"') {
                state = State::Quoted;
                break;
            }
            state = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted:
            if (c == kEnd || AtLineEnd(c)) {
                done = true;
            } else if (isSeparator(c)) {
                NextField(record);
                state = State::FieldStart;
            } else {
                // A quote inside an unquoted field is taken as typed.
                Append(record, static_cast<char>(c));
            }
            break;
        case State::Quoted:
            if (c == kEnd) {
                record.error = "a quoted field is not closed";
                done = true;
            } else if (c == '"') {
                if (Peek() == '"') {
                    ++pos_;
                    Append(record, '"');
                } else {
                    state = State::AfterQuote;
                }
            } else {
                // Line ends inside quotes are text, but still count as lines.
                line_ += c == '\n' || (c == '\r' && Peek() != '\n') ? 1 : 0;
                Append(record, static_cast<char>(c));
            }
            break;
        case State::AfterQuote:
            if (c == kEnd || AtLineEnd(c)) {
                done = true;
            } else if (isSeparator(c)) {
                NextField(record);
                state = State::FieldStart;
            } else {
                record.error =
                    "text after the closing quote of field " + std::to_string(record.fields.size());
                SkipLine();
                done = true;
            }
            break;
        }
    }
    if (!stopped_.empty()) {
        return false;
    }
    detecting_ = false;
    firstRecord_ = false;

    if (record.error.empty() && recordBytes_ > kMaxRecordBytes) {
        record.error = "longer than " + std::to_string(kMaxRecordBytes) + " bytes";
    }
    for (std::size_t i = 0; i < record.fields.size() && record.error.empty(); ++i) {
        if (!IsUtf8(record.fields[i])) {
            record.error = "field " + std::to_string(i + 1) + " is not UTF-8";
        }
    }
    return true;
}

void AppendField(std::string& out, std::string_view field, char sep) {
    // A plain loop: find_first_of calls memchr once per character.
    const bool plain = std::none_of(field.begin(), field.end(), [sep](char c) {
        return c == sep || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

void AppendRecord(std::string& out, std::span<const std::string> fields, char sep,
                  std::string_view lineEnd) {
    if (fields.size() == 1 && fields[0].empty()) {
        out += "\"\"";
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += sep;
        }
        AppendField(out, fields[i], sep);
    }
    out += lineEnd;
}

void WriteRecord(std::ostream& out, std::span<const std::string> fields, char sep,
                 std::string_view lineEnd) {
    std::string line;
    AppendRecord(line, fields, sep, lineEnd);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

bool RunsAsFormula(std::string_view field, char sep) {
    if (field.empty() || std::string_view("=+-@\t\r").find(field[0]) == std::string_view::npos) {
        return false;
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isPoint = [sep](char c) { return c == '.' || (sep == ';' && c == ','); };
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < field.size() && isDigit(field[i])) {
            ++i;
        }
        return i - from;
    };
    if (field[i] == '+' || field[i] == '-') {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < field.size() && isPoint(field[i])) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return true;
    }
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return true;
        }
    }
    return i != field.size();
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        // Plain ASCII runs are the common case.
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = SequenceLength(text, i);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

std::string ToValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceLength(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

} // namespace Csv
