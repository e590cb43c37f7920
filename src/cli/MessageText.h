#pragma once

#include <string>
#include <string_view>

// Texts from files and the command line (file names, cells, field names) as they
// appear in messages: a control character is written as JSON escapes it, so that
// no line break, carriage return or terminal escape comes through raw, and a byte
// that is not UTF-8 as U+FFFD.
namespace CalcCli {

// The text with its control characters escaped, nothing added around it.
std::string Printable(std::string_view text);

// The text in double quotes, escaped as a JSON string is; past 60 characters it
// is cut and "..." follows.
std::string Quoted(std::string_view text);

} // namespace CalcCli
