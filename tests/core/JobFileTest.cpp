#include "core/jobs/JobFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

// Texts a field may hold that a file format could mangle.
struct TextCase {
    const char* name;
    std::string text;
};

const std::vector<TextCase> kOddTexts{
    {"Empty", ""},
    {"Blanks", "  28 "},
    {"OnlyBlanks", "   "},
    {"Quotes", "\"28\" 'x'"},
    {"Backslashes", R"(C:\jobs\n\u0041\)"},
    {"JsonInside", R"({"format": "varneldh-job"}, ])"},
    {"Unicode", "28 °C – Zürich 𝄞 日本"},
    {"ControlCharacters", "\x01\t\r\n\x1f\x7f"},
    {"Nul", "2\0"
            "8"s},
    {"Long", std::string(5000, '9')},
};

class JobRoundTrip : public testing::TestWithParam<TextCase> {};

// Every entry of both calculations, the title and the notes come back exactly.
TEST_P(JobRoundTrip, EveryTextSurvivesExactly) {
    const std::string& text = GetParam().text;
    ZoneTexts zone = InitialZoneTexts();
    for (const auto& entry : kZoneFields) {
        zone.*entry.text = text;
    }
    PoolTexts pool = InitialPoolTexts();
    for (const auto& entry : kPoolFields) {
        pool.*entry.text = text;
    }

    const JobRead zoneRead = ReadJob(WriteJob(ZoneJob(zone, text, text)));
    ASSERT_TRUE(zoneRead.job) << zoneRead.problem;
    EXPECT_EQ(zoneRead.job->kind, JobKind::Zone);
    EXPECT_EQ(zoneRead.job->title, text);
    EXPECT_EQ(zoneRead.job->notes, text);
    EXPECT_EQ(zoneRead.job->writtenBy, JobWriterName());
    const ZoneTexts zoneBack = JobToZoneTexts(*zoneRead.job);
    for (const auto& entry : kZoneFields) {
        EXPECT_EQ(zoneBack.*entry.text, text) << entry.name;
    }

    const JobRead poolRead = ReadJob(WriteJob(PoolJob(pool)));
    ASSERT_TRUE(poolRead.job) << poolRead.problem;
    EXPECT_EQ(poolRead.job->kind, JobKind::Pool);
    const PoolTexts poolBack = JobToPoolTexts(*poolRead.job);
    for (const auto& entry : kPoolFields) {
        EXPECT_EQ(poolBack.*entry.text, text) << entry.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, JobRoundTrip, testing::ValuesIn(kOddTexts),
                         [](const auto& info) { return std::string(info.param.name); });

// Files written by hand or by another version that are still good jobs.
struct GoodCase {
    const char* name;
    std::string file;
    std::vector<std::pair<const char*, const char*>> changed; // zone entries off their initial text
};

const std::vector<GoodCase> kGoodFiles{
    {"OnlyTheRequiredKeys",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone"})",
     {}},
    {"MissingEntriesTakeTheirInitialText",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "entries": {"txtVol": "250", "comboActivity": ""}})",
     {{"txtVol", "250"}, {"comboActivity", ""}}},
    {"UnknownKeysAreIgnored",
     R"({"results": {"txtTotGain": "1"}, "format": "varneldh-job", "formatVersion": 1,
         "calculation": "zone", "colour": [1, 2, {"x": null}], "entries": {"txtrh": "55"}})",
     {{"txtrh", "55"}}},
    {"ByteOrderMarkAndCrLf",
     "\xEF\xBB\xBF{\"format\": \"varneldh-job\",\r\n\"formatVersion\": 1,\r\n"
     "\"calculation\": \"zone\", \"entries\": {\"txtTamb\": \"\\u00b0\"}}\r\n",
     {{"txtTamb", "°"}}},
};

class JobGoodFile : public testing::TestWithParam<GoodCase> {};

TEST_P(JobGoodFile, Reads) {
    const GoodCase& c = GetParam();
    const JobRead read = ReadJob(c.file);
    ASSERT_TRUE(read.job) << read.problem;
    EXPECT_TRUE(read.problem.empty());
    ZoneTexts expected = InitialZoneTexts();
    for (const auto& [field, text] : c.changed) {
        expected.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, field)->text = text;
    }
    const ZoneTexts texts = JobToZoneTexts(*read.job);
    for (const auto& entry : kZoneFields) {
        EXPECT_EQ(texts.*entry.text, expected.*entry.text) << entry.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, JobGoodFile, testing::ValuesIn(kGoodFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that is no job: refused with the one problem that says why.
struct BadCase {
    const char* name;
    std::string file;
    std::string problem;
};

const std::string kZoneJob = R"({"format": "varneldh-job", "formatVersion": 1, )"
                             R"("calculation": "zone", "entries": {"txtVol": "250"}})";

std::string Head(const std::string& text, std::size_t size) {
    return text.substr(0, size);
}

const std::vector<BadCase> kBadFiles{
    {"Empty", "", "is empty"},
    {"OnlyBlanks", " \r\n\t", "is empty"},
    {"TruncatedInAString", Head(kZoneJob, kZoneJob.size() - 5), "is damaged: it is cut short"},
    {"TruncatedAfterAValue", Head(kZoneJob, 48), "is damaged: it is cut short"},
    {"TruncatedInACharacter",
     R"({"format": "varneldh-job", "formatVersion": 1, "title": ")"
     "\xC2",
     "is damaged: it is cut short"},
    {"NotJson", "txtVol=250\n", "is not a Varnel DH job file"},
    {"JsonButNoObject", "[1, 2]", "is not a Varnel DH job file"},
    {"BrokenJson", "{\"format\": \"varneldh-job\",\n \"formatVersion\" 1}",
     "is damaged: it is not valid JSON at line 2, column 18"},
    {"TextAfterTheJob", kZoneJob + " x", "is damaged: it is not valid JSON at line 1, column 101"},
    // The parser would stop at the NUL and take what follows for nothing.
    {"NulAfterTheJob", kZoneJob + "\0 x"s, "is damaged: it holds a NUL byte (line 1, column 100)"},
    {"NulBetweenKeys",
     "{\"format\": \"varneldh-job\",\n\0 \"formatVersion\": 1, \"calculation\": \"zone\"}"s,
     "is damaged: it holds a NUL byte (line 2, column 1)"},
    {"Utf16WithMark", "\xFF\xFE{\0\"\0f\0\"\0"s, "is UTF-16 text; a job file must be UTF-8"},
    {"Utf16BigEndianWithoutMark", "\0{\0\"\0f\0\""s, "is UTF-16 text; a job file must be UTF-8"},
    {"KeyTwice",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "calculation": "pool"})",
     "is damaged: \"calculation\" is given twice"},
    {"EntryTwice",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "entries": {"txtVol": "250", "txtrh": "50", "txtVol": "2500"}})",
     "is damaged: \"txtVol\" is given twice in \"entries\""},
    {"UnknownKeyTwice",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "x": {"a": 1}, "y": [{"a": 1}, {"a": 2, "a": 3}]})",
     "is damaged: \"a\" is given twice in \"y\""},
    {"NumberTooLarge",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "x": 1E999})",
     "is damaged: it holds a number too large to read"},
    {"NoFormat", R"({"formatVersion": 1, "calculation": "zone"})", "is not a Varnel DH job file"},
    {"ForeignFormat", R"({"format": "other-job", "formatVersion": 1, "calculation": "zone"})",
     "is not a Varnel DH job file"},
    {"FormatNotText", R"({"format": 1, "formatVersion": 1, "calculation": "zone"})",
     "is not a Varnel DH job file"},
    {"NewerVersion", R"({"format": "varneldh-job", "formatVersion": 2, "calculation": "zone"})",
     "was written by a newer version of Varnel DH (job format 2; this version reads format 1)"},
    {"HugeVersion",
     R"({"format": "varneldh-job", "formatVersion": 18446744073709551615, "calculation": "zone"})",
     "was written by a newer version of Varnel DH (job format 18446744073709551615; this "
     "version reads format 1)"},
    {"VersionZero", R"({"format": "varneldh-job", "formatVersion": 0, "calculation": "zone"})",
     "is damaged: job format 0 does not exist"},
    {"VersionNegative", R"({"format": "varneldh-job", "formatVersion": -1, "calculation": "zone"})",
     "is damaged: job format -1 does not exist"},
    {"VersionMissing", R"({"format": "varneldh-job", "calculation": "zone"})",
     "is damaged: \"formatVersion\" is missing"},
    {"VersionAText", R"({"format": "varneldh-job", "formatVersion": "1", "calculation": "zone"})",
     "is damaged: \"formatVersion\" is not a whole number"},
    {"VersionFraction",
     R"({"format": "varneldh-job", "formatVersion": 1.5, "calculation": "zone"})",
     "is damaged: \"formatVersion\" is not a whole number"},
    {"CalculationMissing", R"({"format": "varneldh-job", "formatVersion": 1})",
     "is damaged: \"calculation\" must be \"zone\" or \"pool\""},
    {"CalculationUnknown",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "Zone"})",
     "is damaged: \"calculation\" must be \"zone\" or \"pool\""},
    {"EntriesAList",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "entries": []})",
     "is damaged: \"entries\" is not a set of named texts"},
    {"EntryANumber",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "entries": {"txtVol": 250}})",
     "is damaged: the entry \"txtVol\" is not a text"},
    {"EntryNull",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "pool",
         "entries": {"txtpoolarea": null}})",
     "is damaged: the entry \"txtpoolarea\" is not a text"},
    {"EntryOfTheOtherCalculation",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "pool",
         "entries": {"txtVol": "250"}})",
     "is damaged: \"txtVol\" is not an entry of the pool calculation"},
    {"EntryNameWithALineBreak",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "entries": {"txtAmb\n\u0007r": "1"}})",
     "is damaged: \"txtAmb\\n\\u0007r\" is not an entry of the zone calculation"},
    {"EntryNameLong",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "entries": {")" +
         std::string(100, 'x') + R"(": "1"}})",
     "is damaged: \"" + std::string(60, 'x') + "\"... is not an entry of the zone calculation"},
    {"TitleNotText",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "title": ["a"]})",
     "is damaged: \"title\" is not a text"},
    {"NotesNotText",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "notes": false})",
     "is damaged: \"notes\" is not a text"},
    {"WriterNotText",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone", "writtenBy": 2})",
     "is damaged: \"writtenBy\" is not a text"},
    {"InvalidUtf8",
     "{\"format\": \"varneldh-job\", \"formatVersion\": 1, \"calculation\": \"zone\",\n"
     "\"title\": \"caf\xE9\"}",
     "is damaged: it holds bytes that are not UTF-8 text (line 2, column 14)"},
    {"Utf8Surrogate", "{\"title\": \"\xED\xA0\x80\"}",
     "is damaged: it holds bytes that are not UTF-8 text (line 1, column 12)"},
    {"Utf8Overlong", "{\"title\": \"\xC0\xAF\"}",
     "is damaged: it holds bytes that are not UTF-8 text (line 1, column 12)"},
    {"EscapedLoneSurrogate",
     R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone",
         "title": "\ud800"})",
     "is damaged: it is not valid JSON at line 2, column 26"},
    {"Binary", "\x89PNG\r\n\x1a\n\0\0"s, "is not a Varnel DH job file"},
    {"OverTheLimit", "{" + std::string(kJobMaxBytes, ' ') + "}",
     "is too large for a job file (1048578 bytes; a job file is at most 1048576)"},
    {"DeeplyNested", "{\"a\": " + std::string(200000, '[') + std::string(200000, ']') + "}",
     "is not a Varnel DH job file"},
};

class JobBadFile : public testing::TestWithParam<BadCase> {};

TEST_P(JobBadFile, RefusedWithOneClearProblem) {
    const BadCase& c = GetParam();
    const JobRead read = ReadJob(c.file);
    EXPECT_FALSE(read.job.has_value());
    EXPECT_EQ(read.problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(Files, JobBadFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

class JobFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("varneldh-jobtest-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

// A 100 MB file is refused without being read whole; a good file on disk reads.
TEST_F(JobFileOnDisk, ReadsGoodFilesAndRefusesHugeOnes) {
    const auto good = dir_ / "good.vdhjob";
    std::ofstream(good, std::ios::binary) << kZoneJob;
    const JobRead read = ReadJobFile(good);
    ASSERT_TRUE(read.job) << read.problem;
    EXPECT_EQ(JobToZoneTexts(*read.job).volume, "250");

    const auto huge = dir_ / "huge.vdhjob";
    {
        std::ofstream out(huge, std::ios::binary);
        out << kZoneJob;
        const std::string block(1 << 20, ' ');
        for (int i = 0; i < 100; ++i) {
            out << block;
        }
    }
    ASSERT_GT(std::filesystem::file_size(huge), 100u << 20);
    EXPECT_EQ(ReadJobFile(huge).problem, "is too large for a job file (more than 1048576 bytes)");

    // The system's reason, and the file itself at fault rather than its content.
    const JobRead missing = ReadJobFile(dir_ / "missing.vdhjob");
    // In the words of the locale the suite runs under.
    EXPECT_EQ(missing.problem,
              "cannot be opened (" + std::generic_category().message(ENOENT) + ")");
    EXPECT_TRUE(missing.unopened);
    const JobRead folder = ReadJobFile(dir_);
    EXPECT_EQ(folder.problem, "is a folder, not a file");
    EXPECT_TRUE(folder.unopened);
    EXPECT_FALSE(ReadJobFile(huge).unopened);
}

} // namespace
