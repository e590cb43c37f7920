#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 writes them, read and written one record at
// a time so that a file of any length takes the memory of one record.
//
// Debian's libcsv was weighed and left: it trims blanks around unquoted fields
// (entry texts are taken as typed), tells no line numbers, and its strict mode
// ends the whole parse at the first malformed record, where a batch goes on.
namespace Csv {

struct Record {
    std::vector<std::string> fields;
    std::size_t line = 0; // the line the record starts on, from 1
    std::string error;    // why the record is unreadable; empty when it was read
};

// Records longer than this are unreadable; the reader skips them without keeping them.
inline constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;
// How far past kMaxRecordBytes the reader looks for the record's end before it
// stops: an input without line ends (a device, a damaged file) is not read forever.
inline constexpr std::size_t kMaxSkipBytes = std::size_t{64} << 20;

class Reader {
public:
    // The separator is ',' or ';', whichever the first record has first outside
    // quotes; ',' when it has neither. A UTF-8 byte order mark before it is skipped.
    explicit Reader(std::istream& in);

    // The next record, or false at the end of the input or when reading stopped.
    // Empty lines are skipped; a line ends with LF, CR LF or CR alone. An
    // unreadable record (text after a closing quote, a quote not closed, too long,
    // not UTF-8) comes back with its error and the fields read so far; reading goes
    // on at the line after it.
    bool Next(Record& record);

    // Why reading stopped before the end of the input (a record without a line end
    // for kMaxSkipBytes past kMaxRecordBytes), with its line; empty otherwise.
    const std::string& Stopped() const { return stopped_; }

    char Separator() const { return sep_; }
    bool HadByteOrderMark() const { return bom_; }
    // The first line end of the input: "\r\n", "\n" or "\r"; "\n" when it has none.
    std::string_view LineEnd() const { return lineEnd_; }
    // How many bytes of the input the records read so far took, the mark included.
    std::uint64_t Offset() const { return taken_ - (end_ - pos_); }

private:
    int Get();
    int Peek();
    bool Refill();
    bool AtLineEnd(int c);
    bool Overran();
    void SkipLine();
    void Append(Record& record, char c);
    void NextField(Record& record);

    std::istream& in_;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t taken_ = 0; // bytes read from the stream
    std::size_t line_ = 1;
    std::size_t recordBytes_ = 0;
    std::size_t recordLine_ = 0;
    std::string stopped_;
    std::string_view lineEnd_ = "\n";
    char sep_ = ',';
    bool detecting_ = true;
    bool firstRecord_ = true;
    bool bom_ = false;
    bool lineEndKnown_ = false;
};

// A field quoted where it must be: when it holds the separator, a quote, CR or LF.
void AppendField(std::string& out, std::string_view field, char sep);

// One record and its line end. A record of one empty field is written as "" so
// that it does not read back as an empty line.
void AppendRecord(std::string& out, std::span<const std::string> fields, char sep,
                  std::string_view lineEnd);
void WriteRecord(std::ostream& out, std::span<const std::string> fields, char sep,
                 std::string_view lineEnd);

// Whether a spreadsheet opening the file would take the field for a formula: it
// begins with =, +, -, @, tab or CR and is not a plain number (sign, digits, one
// decimal point, exponent; in a semicolon-separated file the point may be a comma).
bool RunsAsFormula(std::string_view field, char sep);

bool IsUtf8(std::string_view text);

// The text with each byte that is not part of a well-formed UTF-8 sequence
// replaced by U+FFFD.
std::string ToValidUtf8(std::string_view text);

} // namespace Csv
