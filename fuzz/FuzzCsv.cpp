// Any bytes through the CSV reader: no crash, line numbers that only grow,
// readable records within bounds and in UTF-8, and each readable record written
// back and read again field for field.

#include "FuzzChecks.h"
#include "core/csv/Csv.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

using namespace FuzzChecks;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Csv::Reader reader(in);
    std::vector<std::vector<std::string>> readable;
    std::size_t lastLine = 0;
    for (Csv::Record r; reader.Next(r);) {
        Require(r.line > lastLine, "record at line ", r.line, " after line ", lastLine);
        lastLine = r.line;
        Require(!r.fields.empty(), "a record without fields at line ", r.line);
        if (!r.error.empty()) {
            continue;
        }
        std::size_t bytes = 0;
        for (const std::string& f : r.fields) {
            bytes += f.size();
            Require(Csv::IsUtf8(f), "a readable field that is not UTF-8 at line ", r.line);
        }
        Require(bytes <= Csv::kMaxRecordBytes, "a readable record of ", bytes, " bytes");
        readable.push_back(std::move(r.fields));
    }
    const char sep = reader.Separator();
    Require(sep == ',' || sep == ';', "separator ", int(sep));

    // A header of two fields fixes the separator for the second reading.
    std::ostringstream out;
    const std::string h = "h";
    Csv::WriteRecord(out, std::vector<std::string>{h, h}, sep, reader.LineEnd());
    for (const auto& fields : readable) {
        Csv::WriteRecord(out, fields, sep, reader.LineEnd());
    }
    std::istringstream again(out.str());
    Csv::Reader second(again);
    Csv::Record r;
    Require(second.Next(r) && r.fields.size() == 2, "the header did not read back");
    for (const auto& fields : readable) {
        Require(second.Next(r), "a written record did not read back");
        Require(r.error.empty(), "a written record reads as unreadable: ", r.error);
        Require(r.fields == fields, "a written record reads back otherwise at line ", r.line);
    }
    Require(!second.Next(r), "more records read back than were written");
    return 0;
}
