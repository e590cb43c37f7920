#pragma once

#include "core/pool/PoolCalc.h"
#include "core/zone/ZoneCalc.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Job files (.vdhjob): the entry texts of one calculation as typed, so that a job
// can be opened again, run from the command line or handed on. Results are never
// stored; they are worked out again. The format is described in docs/job-format.md.

enum class JobKind { Zone, Pool };

inline constexpr std::string_view kJobFormatName = "varneldh-job";
inline constexpr int kJobFormatVersion = 1;
inline constexpr std::string_view kJobFileSuffix = ".vdhjob";
// Far above any real job (a few hundred bytes); refused before it is parsed.
inline constexpr std::size_t kJobMaxBytes = std::size_t{1} << 20;

struct Job {
    JobKind kind = JobKind::Zone;
    std::string title;
    std::string notes;
    std::string writtenBy; // as read; WriteJob writes this program's own
    // Entry texts by field name, in the order of the calculation's field table when
    // written. A name not given takes its field's initial text.
    std::vector<std::pair<std::string, std::string>> entries;
};

// "zone" or "pool", as the file and the command line name the calculations.
std::string_view JobKindName(JobKind kind);

// "Varnel DH 2.0.0": what WriteJob records as the writer.
std::string_view JobWriterName();

// The job as the text of a job file (UTF-8 JSON, ending in a line feed).
std::string WriteJob(const Job& job);

// A job read from a file's bytes, or what is wrong with them, worded to follow the
// file's name ("is not a Varnel DH job file", "is damaged: ...").
struct JobRead {
    std::optional<Job> job;
    std::string problem;   // empty when job holds the job
    bool unopened = false; // the file itself could not be opened or read
};

JobRead ReadJob(std::string_view bytes);

// Reads at most kJobMaxBytes + 1 bytes of the file, so a huge file or a device that
// never ends is refused without being read whole. A file that cannot be opened or
// read says the system's reason ("cannot be opened (Permission denied)").
JobRead ReadJobFile(const std::filesystem::path& path);

// The one message shown for a refused file: The file "NAME" PROBLEM.
std::string JobProblemMessage(std::string_view fileName, std::string_view problem);

// The job of a screen's entry texts, every entry in table order.
Job ZoneJob(const ZoneTexts& texts, std::string title = {}, std::string notes = {});
Job PoolJob(const PoolTexts& texts, std::string title = {}, std::string notes = {});

// The entry texts of a job: its texts over the initial ones. Names of the other
// calculation are passed over.
ZoneTexts JobToZoneTexts(const Job& job);
PoolTexts JobToPoolTexts(const Job& job);
