#include "core/csv/Csv.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

struct Row {
    std::size_t line;
    std::vector<std::string> fields;
    std::string error = {}; // a part of the error text; empty for a readable record
};

struct ReadCase {
    const char* name;
    std::string input;
    std::vector<Row> rows;
    char separator = ',';
    std::string_view lineEnd = "\n";
};

std::vector<Row> ReadAll(const std::string& input, char* separator = nullptr,
                         std::string_view* lineEnd = nullptr) {
    std::istringstream in(input);
    Csv::Reader reader(in);
    std::vector<Row> rows;
    for (Csv::Record r; reader.Next(r);) {
        rows.push_back({r.line, r.fields, r.error});
    }
    if (separator) {
        *separator = reader.Separator();
    }
    if (lineEnd) {
        *lineEnd = reader.LineEnd();
    }
    EXPECT_EQ(reader.Stopped(), "");
    return rows;
}

class CsvReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(CsvReadTest, Records) {
    char separator = 0;
    std::string_view lineEnd;
    const std::vector<Row> rows = ReadAll(GetParam().input, &separator, &lineEnd);
    EXPECT_EQ(separator, GetParam().separator);
    EXPECT_EQ(lineEnd, GetParam().lineEnd);
    const std::vector<Row>& expected = GetParam().rows;
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].line, expected[i].line) << "record " << i;
        if (expected[i].error.empty()) {
            EXPECT_EQ(rows[i].error, "") << "record " << i;
            EXPECT_EQ(rows[i].fields, expected[i].fields) << "record " << i;
        } else {
            EXPECT_NE(rows[i].error.find(expected[i].error), std::string::npos)
                << "record " << i << ": " << rows[i].error;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, CsvReadTest,
    testing::Values(
        ReadCase{"Plain", "a,b\n1,2\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        ReadCase{"NoFinalLineEnd", "a,b\n1,2", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        ReadCase{"CrLf", "a,b\r\n1,2\r\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}, ',', "\r\n"},
        // What older spreadsheets on the Macintosh write.
        ReadCase{"CrOnly",
                 "a;b\r1;\"x\ry\"\r\r2;3",
                 {{1, {"a", "b"}}, {2, {"1", "x\ry"}}, {5, {"2", "3"}}},
                 ';',
                 "\r"},
        ReadCase{"EmptyFields", "a,,\n,\n", {{1, {"a", "", ""}}, {2, {"", ""}}}},
        ReadCase{"BlanksKept", " a , b\t\n", {{1, {" a ", " b\t"}}}},
        ReadCase{"QuotedSeparatorAndQuote",
                 "\"a,b\",\"say \"\"hi\"\"\",\"\"\n",
                 {{1, {"a,b", "say \"hi\"", ""}}}},
        ReadCase{"EmbeddedLineEndsCountLines",
                 "\"x\ny\",\"1\r\n2\"\nnext,row\n",
                 {{1, {"x\ny", "1\r\n2"}}, {4, {"next", "row"}}}},
        ReadCase{"QuoteInsideUnquotedTakenAsTyped", "5\"6,a\"b\n", {{1, {"5\"6", "a\"b"}}}},
        ReadCase{
            "LoneCarriageReturnEndsTheLine", "a\rb,c\n", {{1, {"a"}}, {2, {"b", "c"}}}, ',', "\r"},
        ReadCase{"EmptyLinesSkipped", "\na\n\r\n\nb\n\r", {{2, {"a"}}, {5, {"b"}}}},
        ReadCase{
            "ByteOrderMarkSkipped", "\xEF\xBB\xBFtxttemp,txtrh\n", {{1, {"txttemp", "txtrh"}}}},
        ReadCase{"SemicolonFromHeader",
                 "txttemp;txtrh\n28,5;60\n\"a;b\";\"c,d\"\n",
                 {{1, {"txttemp", "txtrh"}}, {2, {"28,5", "60"}}, {3, {"a;b", "c,d"}}},
                 ';'},
        ReadCase{"FirstSeparatorWins", "a;b,c\n", {{1, {"a", "b,c"}}}, ';'},
        ReadCase{"QuotedSemicolonIsNoSeparator", "\"a;b\",c;d\n", {{1, {"a;b", "c;d"}}}},
        ReadCase{"TextAfterClosingQuote",
                 "a,b\n\"1\"x,2\n3,4\n",
                 {{1, {"a", "b"}}, {2, {}, "after the closing quote of field 1"}, {3, {"3", "4"}}}},
        ReadCase{"QuoteNotClosed", "a\n\"1,2\n3\n", {{1, {"a"}}, {2, {}, "not closed"}}},
        ReadCase{"InvalidUtf8",
                 "a,b\n1,\xFF\n\xC0\xAF,x\n\xED\xA0\x80,x\n\xE2\x82\xAC,\xF0\x9F\x98\x80\n",
                 {{1, {"a", "b"}},
                  {2, {}, "field 2 is not UTF-8"},
                  {3, {}, "field 1 is not UTF-8"}, // overlong
                  {4, {}, "field 1 is not UTF-8"}, // surrogate
                  {5, {"\xE2\x82\xAC", "\xF0\x9F\x98\x80"}}}},
        ReadCase{"TruncatedUtf8AtTheEnd", "a,\xE2\x82", {{1, {}, "field 2 is not UTF-8"}}},
        ReadCase{"EmptyInput", "", {}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// The reader's buffer refills in the middle of a doubled quote, a CR LF and a
// byte order mark's look-ahead; a record goes on across the refill.
TEST(CsvReader, LookAheadAcrossTheBufferEdge) {
    for (std::size_t pad = 65530; pad < 65542; ++pad) {
        const std::string head(pad, 'x');
        const std::string input = "\"" + head + "\"\"q\",z\r\nnext\r\n";
        const std::vector<Row> rows = ReadAll(input);
        ASSERT_EQ(rows.size(), 2u) << pad;
        EXPECT_EQ(rows[0].fields, (std::vector<std::string>{head + "\"q", "z"})) << pad;
        EXPECT_EQ(rows[1].fields, std::vector<std::string>{"next"}) << pad;
        EXPECT_EQ(rows[1].line, 2u) << pad;
    }
}

// Bytes without end: `head` first, then `fill` for ever (a device, or a file
// that goes on growing), counting what is read.
class EndlessInput : public std::streambuf {
public:
    EndlessInput(std::string head, char fill) : head_(std::move(head)), block_(65536, fill) {
        setg(head_.data(), head_.data(), head_.data() + head_.size());
    }
    std::size_t served() const { return served_; }

protected:
    int_type underflow() override {
        served_ += static_cast<std::size_t>(egptr() - eback());
        setg(block_.data(), block_.data(), block_.data() + block_.size());
        return traits_type::to_int_type(block_[0]);
    }

private:
    std::string head_;
    std::string block_;
    std::size_t served_ = 0;
};

// Past the cap the record's end is looked for only so far, inside quotes too; the
// records before it come back first.
TEST(CsvReader, StopsWhereNoLineEndComes) {
    struct Case {
        const char* head;
        std::size_t records; // read before it stops
        const char* stopped;
    };
    // Inside quotes and after a closing quote; an endless unquoted field is the
    // command-line tests' /dev/zero.
    for (const Case& c : {Case{"a,b\n1,2\n\"3", 2, "line 3"}, Case{"a\n\"1\"x", 1, "line 2"}}) {
        EndlessInput bytes(c.head, '\0');
        std::istream in(&bytes);
        Csv::Reader reader(in);
        std::size_t records = 0;
        Csv::Record r;
        while (reader.Next(r)) {
            ++records;
        }
        EXPECT_EQ(records, c.records) << c.head;
        EXPECT_EQ(reader.Stopped(),
                  std::string(c.stopped) + ": no line end within 65 MiB; reading stopped")
            << c.head;
        EXPECT_LE(bytes.served(), Csv::kMaxRecordBytes + Csv::kMaxSkipBytes + 65536 * 2) << c.head;
        EXPECT_FALSE(reader.Next(r)) << "stays stopped";
    }
}

TEST(CsvReader, OverlongRecordIsUnreadableAndReadingGoesOn) {
    const std::string input = "a\n" + std::string(Csv::kMaxRecordBytes + 1, 'x') + "\n" +
                              std::string(100000, ',') + std::string(Csv::kMaxRecordBytes, ',') +
                              "\nb\n";
    const std::vector<Row> rows = ReadAll(input);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(rows[1].error.find("longer than"), std::string::npos);
    EXPECT_NE(rows[2].error.find("longer than"), std::string::npos);
    EXPECT_EQ(rows[3].fields, std::vector<std::string>{"b"});
    EXPECT_EQ(rows[3].line, 4u);
}

struct WriteCase {
    const char* name;
    std::vector<std::string> fields;
    char separator;
    const char* written;
};

class CsvWriteTest : public testing::TestWithParam<WriteCase> {};

// Written as RFC 4180 quotes it, and read back field for field.
TEST_P(CsvWriteTest, WrittenAndReadBack) {
    const WriteCase& c = GetParam();
    std::ostringstream out;
    Csv::WriteRecord(out, c.fields, c.separator, "\r\n");
    EXPECT_EQ(out.str(), c.written);
    // The reader takes its separator from the first record: a header of both kinds.
    const std::string header = c.separator == ';' ? "h;h\n" : "h,h\n";
    const std::vector<Row> rows = ReadAll(header + out.str());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].error, "");
    EXPECT_EQ(rows[1].fields, c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, CsvWriteTest,
    testing::Values(WriteCase{"Plain", {"a", " b ", ""}, ',', "a, b ,\r\n"},
                    WriteCase{"Quoted",
                              {"a,b", "x\"y", "1\n2", "c\rd"},
                              ',',
                              "\"a,b\",\"x\"\"y\",\"1\n2\",\"c\rd\"\r\n"},
                    WriteCase{"SemicolonQuotesItsOwn", {"a;b", "c,d"}, ';', "\"a;b\";c,d\r\n"},
                    WriteCase{"OneEmptyField", {""}, ',', "\"\"\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

struct FormulaCase {
    const char* name;
    const char* field;
    char separator;
    bool formula;
};

class CsvFormulaTest : public testing::TestWithParam<FormulaCase> {};

TEST_P(CsvFormulaTest, TextThatASpreadsheetWouldRun) {
    const FormulaCase& c = GetParam();
    EXPECT_EQ(Csv::RunsAsFormula(c.field, c.separator), c.formula) << c.field;
}

INSTANTIATE_TEST_SUITE_P(
    Injection, CsvFormulaTest,
    testing::Values(
        FormulaCase{"Equals", "=1+2", ',', true},
        FormulaCase{"Plus", "+cmd|' /C calc'!A0", ',', true},
        FormulaCase{"At", "@SUM(A1)", ',', true},
        FormulaCase{"MinusThenFormula", "-1+1", ',', true}, FormulaCase{"Tab", "\t=1", ',', true},
        FormulaCase{"CarriageReturn", "\r=1", ',', true}, FormulaCase{"SignOnly", "-", ',', true},
        FormulaCase{"ExponentWithoutDigits", "-1e", ',', true},
        FormulaCase{"NegativeNumber", "-12.5", ',', false},
        FormulaCase{"PlusExponent", "+1.5E-3", ',', false},
        FormulaCase{"DecimalCommaInSemicolonFile", "-0,5", ';', false},
        FormulaCase{"DecimalCommaInCommaFile", "-0,5", ',', true},
        FormulaCase{"PlainText", "Office Work", ',', false},
        FormulaCase{"EqualsLater", "a=1", ',', false}, FormulaCase{"Empty", "", ',', false}),
    [](const testing::TestParamInfo<FormulaCase>& info) { return std::string(info.param.name); });

TEST(CsvUtf8, InvalidBytesReplaced) {
    EXPECT_EQ(Csv::ToValidUtf8("a\xFF\xE2\x82\xAC\xE2\x82"),
              "a\xEF\xBF\xBD\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_TRUE(Csv::IsUtf8(Csv::ToValidUtf8("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80")));
}

} // namespace
