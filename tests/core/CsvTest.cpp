#include "core/csv/Csv.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
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
};

std::vector<Row> ReadAll(const std::string& input, char* separator = nullptr) {
    std::istringstream in(input);
    Csv::Reader reader(in);
    std::vector<Row> rows;
    for (Csv::Record r; reader.Next(r);) {
        rows.push_back({r.line, r.fields, r.error});
    }
    if (separator) {
        *separator = reader.Separator();
    }
    return rows;
}

class CsvReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(CsvReadTest, Records) {
    char separator = 0;
    const std::vector<Row> rows = ReadAll(GetParam().input, &separator);
    EXPECT_EQ(separator, GetParam().separator);
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
        ReadCase{"CrLf", "a,b\r\n1,2\r\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        ReadCase{"EmptyFields", "a,,\n,\n", {{1, {"a", "", ""}}, {2, {"", ""}}}},
        ReadCase{"BlanksKept", " a , b\t\n", {{1, {" a ", " b\t"}}}},
        ReadCase{"QuotedSeparatorAndQuote",
                 "\"a,b\",\"say \"\"hi\"\"\",\"\"\n",
                 {{1, {"a,b", "say \"hi\"", ""}}}},
        ReadCase{"EmbeddedLineEndsCountLines",
                 "\"x\ny\",\"1\r\n2\"\nnext,row\n",
                 {{1, {"x\ny", "1\r\n2"}}, {4, {"next", "row"}}}},
        ReadCase{"QuoteInsideUnquotedTakenAsTyped", "5\"6,a\"b\n", {{1, {"5\"6", "a\"b"}}}},
        ReadCase{"LoneCarriageReturnIsText", "a\rb,c\n", {{1, {"a\rb", "c"}}}},
        ReadCase{"EmptyLinesSkipped", "\na\n\r\n\nb\n", {{2, {"a"}}, {5, {"b"}}}},
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

TEST(CsvUtf8, InvalidBytesReplaced) {
    EXPECT_EQ(Csv::ToValidUtf8("a\xFF\xE2\x82\xAC\xE2\x82"),
              "a\xEF\xBF\xBD\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_TRUE(Csv::IsUtf8(Csv::ToValidUtf8("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80")));
}

} // namespace
