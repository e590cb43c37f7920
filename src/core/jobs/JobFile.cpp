#include "core/jobs/JobFile.h"
#include "core/jobs/JobJson.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
#include <set>
#include <span>
#include <system_error>
#include <vector>

namespace JobJson {
namespace {

constexpr const char* kFormatKey = "format";
constexpr const char* kVersionKey = "formatVersion";
constexpr const char* kCalculationKey = "calculation";
constexpr const char* kWrittenByKey = "writtenBy";
constexpr const char* kTitleKey = "title";
constexpr const char* kNotesKey = "notes";
constexpr const char* kEntriesKey = "entries";

const FileKind kJobKind{"job file", kJobFormatName, kJobMaxBytes};

JobRead Refused(std::string problem) {
    return {std::nullopt, std::move(problem), false};
}

Parsed Bad(std::string problem) {
    return {std::nullopt, std::move(problem)};
}

std::string NotOfFormat(const FileKind& kind) {
    std::string text = "is not a Varnel DH ";
    text.append(kind.noun);
    return text;
}

// A JSON object takes the last of two values of one key; a job file with two is
// refused instead, as one of them was not meant. Told by the parser's events.
class DuplicateKeys {
public:
    bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            // Named by its key, or, inside a list, by the list's.
            open_.push_back({afterKey_       ? key_
                             : open_.empty() ? std::string()
                                             : open_.back().name,
                             {}});
            afterKey_ = false;
            break;
        case Event::object_end:
        case Event::array_end:
            open_.pop_back();
            break;
        case Event::key:
            key_ = parsed.get<std::string>();
            afterKey_ = true;
            if (!open_.back().keys.insert(key_).second && found_.empty()) {
                found_ = Quoted(key_) + " is given twice";
                if (open_.size() > 1) {
                    found_ += " in " + Quoted(open_.back().name);
                }
            }
            break;
        case Event::value:
            afterKey_ = false;
            break;
        }
        return true;
    }

    // "KEY is given twice [in PARENT]", or empty.
    const std::string& Found() const { return found_; }

private:
    struct Container {
        std::string name;
        std::set<std::string> keys; // of an object
    };
    std::vector<Container> open_;
    std::string key_;
    bool afterKey_ = false;
    std::string found_;
};

// UTF-16 text, by its byte order mark or by the NUL beside the object's first
// character, which UTF-8 JSON never has.
bool IsUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return true;
    }
    const auto opening = [](char c) {
        return c == '{' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    return bytes.size() >= 2 &&
           ((opening(bytes[0]) && bytes[1] == '\0') || (bytes[0] == '\0' && opening(bytes[1])));
}

// "line L, column C" of a byte offset, both counted from 1.
std::string Place(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const auto line = 1 + std::count(before.begin(), before.end(), '\n');
    const auto lastBreak = before.rfind('\n');
    const auto column = offset - (lastBreak == std::string_view::npos ? 0 : lastBreak + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Where the text stops being well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), and whether only the end is missing from a character.
struct Utf8Fault {
    std::size_t offset = std::string_view::npos;
    bool cutShort = false;
};

Utf8Fault FirstBadUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return {i, false};
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k == size) {
                return {i, true};
            }
            const unsigned char b = bytes[i + k];
            if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) {
                return {i, false};
            }
        }
        i += length;
    }
    return {};
}

template <typename Texts, typename Inputs>
bool HasEntry(std::span<const EntrySpec<Texts, Inputs>> table, std::string_view name) {
    return FindEntry(table, name) != nullptr;
}

bool KnownEntry(JobKind kind, std::string_view name) {
    return kind == JobKind::Zone ? HasEntry<ZoneTexts, ZoneInputs>(kZoneFields, name)
                                 : HasEntry<PoolTexts, PoolInputs>(kPoolFields, name);
}

template <typename Texts, typename Inputs>
Job JobOf(JobKind kind, std::span<const EntrySpec<Texts, Inputs>> table, const Texts& texts,
          std::string title, std::string notes) {
    Job job;
    job.kind = kind;
    job.title = std::move(title);
    job.notes = std::move(notes);
    for (const auto& entry : table) {
        job.entries.emplace_back(std::string(entry.name), texts.*entry.text);
    }
    return job;
}

template <typename Texts, typename Inputs>
Texts TextsOf(const Job& job, std::span<const EntrySpec<Texts, Inputs>> table) {
    Texts texts = InitialTexts(table);
    for (const auto& [name, text] : job.entries) {
        if (const auto* entry = FindEntry(table, name)) {
            texts.*entry->text = text;
        }
    }
    return texts;
}

} // namespace

// Built by appending: GCC 12 at -O3 takes a literal plus a string for an
// overlapping copy (-Wrestrict) and stops a Release build.
std::string Damaged(std::string_view what) {
    std::string text = "is damaged: ";
    text.append(what);
    return text;
}

// A name from the file as JSON writes it, so that a line break or a stray byte in
// it cannot break the message it is shown in; a long one is cut.
std::string Quoted(std::string_view key) {
    constexpr std::size_t kLongest = 60;
    std::string text = Json(std::string(key.substr(0, kLongest)))
                           .dump(-1, ' ', false, Json::error_handler_t::replace);
    if (key.size() > kLongest) {
        text += "...";
    }
    return text;
}

bool ReadText(const Json& object, const char* key, std::string& text, std::string& problem) {
    const auto it = object.find(key);
    if (it == object.end()) {
        return true;
    }
    if (!it->is_string()) {
        problem = Damaged(Quoted(key) + " is not a text");
        return false;
    }
    text = it->get<std::string>();
    return true;
}

std::string FormatProblem(const Json& doc, const FileKind& kind, int version) {
    const auto format = doc.find(kFormatKey);
    if (format == doc.end() || !format->is_string() ||
        format->get<std::string>() != kind.formatName) {
        return NotOfFormat(kind);
    }
    // "job format", "project format".
    const std::string formatWord =
        std::string(kind.noun.substr(0, kind.noun.find(' '))) + " format ";
    const auto found = doc.find(kVersionKey);
    if (found == doc.end()) {
        return Damaged(Quoted(kVersionKey) + " is missing");
    }
    if (!found->is_number_integer()) {
        return Damaged(Quoted(kVersionKey) + " is not a whole number");
    }
    // Non-negative numbers parse as unsigned, negative ones as signed.
    if (found->is_number_unsigned() &&
        found->get<std::uint64_t>() > static_cast<std::uint64_t>(version)) {
        return "was written by a newer version of Varnel DH (" + formatWord + found->dump() +
               "; this version reads format " + std::to_string(version) + ")";
    }
    if (!found->is_number_unsigned() || found->get<std::uint64_t>() < 1) {
        return Damaged(formatWord + found->dump() + " does not exist");
    }
    return {};
}

Parsed Parse(std::string_view bytes, const FileKind& kind, int version) {
    const std::string noun(kind.noun);
    if (bytes.size() > kind.maxBytes) {
        return Bad("is too large for a " + noun + " (" + std::to_string(bytes.size()) +
                   " bytes; a " + noun + " is at most " + std::to_string(kind.maxBytes) + ")");
    }
    if (IsUtf16(bytes)) {
        return Bad("is UTF-16 text; a " + noun + " must be UTF-8");
    }
    std::string_view body = bytes;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    const auto start = body.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return Bad("is empty");
    }
    // Anything but a JSON object is some other kind of file.
    if (body[start] != '{') {
        return Bad(NotOfFormat(kind));
    }
    if (const Utf8Fault bad = FirstBadUtf8(bytes); bad.offset != std::string_view::npos) {
        return Bad(Damaged(bad.cutShort ? "it is cut short"
                                        : "it holds bytes that are not UTF-8 text (" +
                                              Place(bytes, bad.offset) + ")"));
    }
    // The parser takes a NUL for the end of the text: what follows it would be
    // passed over unseen.
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) {
        return Bad(Damaged("it holds a NUL byte (" + Place(bytes, nul) + ")"));
    }

    Json doc;
    DuplicateKeys duplicates;
    try {
        doc = Json::parse(bytes.begin(), bytes.end(), std::ref(duplicates));
    } catch (const Json::parse_error& e) {
        // e.byte counts from 1 and lies past the end when the text stops early.
        if (e.byte > bytes.size()) {
            return Bad(Damaged("it is cut short"));
        }
        return Bad(
            Damaged("it is not valid JSON at " + Place(bytes, e.byte == 0 ? 0 : e.byte - 1)));
    } catch (const Json::out_of_range&) {
        // A number beyond a double, such as 1E999.
        return Bad(Damaged("it holds a number too large to read"));
    }
    if (!duplicates.Found().empty()) {
        return Bad(Damaged(duplicates.Found()));
    }
    if (std::string problem = FormatProblem(doc, kind, version); !problem.empty()) {
        return Bad(std::move(problem));
    }
    return {std::move(doc), {}};
}

JobRead JobFromJson(const Json& doc) {
    if (!doc.is_object()) {
        return Refused(NotOfFormat(kJobKind));
    }
    if (std::string problem = FormatProblem(doc, kJobKind, kJobFormatVersion); !problem.empty()) {
        return Refused(std::move(problem));
    }
    Job job;
    const auto calculation = doc.find(kCalculationKey);
    if (calculation != doc.end() && *calculation == "zone") {
        job.kind = JobKind::Zone;
    } else if (calculation != doc.end() && *calculation == "pool") {
        job.kind = JobKind::Pool;
    } else {
        return Refused(Damaged(Quoted(kCalculationKey) + " must be \"zone\" or \"pool\""));
    }

    std::string problem;
    if (!ReadText(doc, kWrittenByKey, job.writtenBy, problem) ||
        !ReadText(doc, kTitleKey, job.title, problem) ||
        !ReadText(doc, kNotesKey, job.notes, problem)) {
        return Refused(problem);
    }

    const auto entries = doc.find(kEntriesKey);
    if (entries != doc.end()) {
        if (!entries->is_object()) {
            return Refused(Damaged(Quoted(kEntriesKey) + " is not a set of named texts"));
        }
        for (const auto& [name, text] : entries->items()) {
            // A misspelt name would otherwise run the job on the initial text.
            if (!KnownEntry(job.kind, name)) {
                return Refused(Damaged(Quoted(name) + " is not an entry of the " +
                                       std::string(JobKindName(job.kind)) + " calculation"));
            }
            if (!text.is_string()) {
                return Refused(Damaged("the entry " + Quoted(name) + " is not a text"));
            }
            job.entries.emplace_back(name, text.get<std::string>());
        }
    }
    return {std::move(job), {}};
}

OrderedJson JobToJson(const Job& job) {
    OrderedJson doc;
    doc[kFormatKey] = kJobFormatName;
    doc[kVersionKey] = kJobFormatVersion;
    doc[kCalculationKey] = JobKindName(job.kind);
    doc[kWrittenByKey] = JobWriterName();
    doc[kTitleKey] = job.title;
    doc[kNotesKey] = job.notes;
    OrderedJson entries = OrderedJson::object();
    for (const auto& [name, text] : job.entries) {
        entries[name] = text;
    }
    doc[kEntriesKey] = std::move(entries);
    return doc;
}

std::string Dump(const OrderedJson& doc) {
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

FileBytes ReadBytes(const std::filesystem::path& path, const FileKind& kind) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return {{}, "is a folder, not a file", true};
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        return {{},
                "cannot be opened" + (error != 0
                                          ? " (" + std::generic_category().message(error) + ")"
                                          : std::string()),
                true};
    }
    std::string bytes(kind.maxBytes + 1, '\0');
    errno = 0;
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        const int error = errno;
        return {{},
                "cannot be read" + (error != 0 ? " (" + std::generic_category().message(error) + ")"
                                               : std::string()),
                true};
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kind.maxBytes) {
        return {{},
                "is too large for a " + std::string(kind.noun) + " (more than " +
                    std::to_string(kind.maxBytes) + " bytes)",
                false};
    }
    return {std::move(bytes), {}, false};
}

} // namespace JobJson

std::string_view JobKindName(JobKind kind) {
    return kind == JobKind::Zone ? "zone" : "pool";
}

std::string_view JobWriterName() {
    return "Varnel DH " VARNELDH_VERSION;
}

std::string WriteJob(const Job& job) {
    return JobJson::Dump(JobJson::JobToJson(job));
}

JobRead ReadJob(std::string_view bytes) {
    JobJson::Parsed parsed = JobJson::Parse(bytes, JobJson::kJobKind, kJobFormatVersion);
    if (!parsed.doc) {
        return JobJson::Refused(std::move(parsed.problem));
    }
    return JobJson::JobFromJson(*parsed.doc);
}

JobRead ReadJobFile(const std::filesystem::path& path) {
    JobJson::FileBytes file = JobJson::ReadBytes(path, JobJson::kJobKind);
    if (!file.problem.empty()) {
        return {std::nullopt, std::move(file.problem), file.unopened};
    }
    return ReadJob(file.bytes);
}

std::string JobProblemMessage(std::string_view fileName, std::string_view problem) {
    std::string message = "The file \"";
    message.append(fileName).append("\" ").append(problem).append(".");
    return message;
}

Job ZoneJob(const ZoneTexts& texts, std::string title, std::string notes) {
    return JobJson::JobOf<ZoneTexts, ZoneInputs>(JobKind::Zone, kZoneFields, texts,
                                                 std::move(title), std::move(notes));
}

Job PoolJob(const PoolTexts& texts, std::string title, std::string notes) {
    return JobJson::JobOf<PoolTexts, PoolInputs>(JobKind::Pool, kPoolFields, texts,
                                                 std::move(title), std::move(notes));
}

ZoneTexts JobToZoneTexts(const Job& job) {
    return JobJson::TextsOf<ZoneTexts, ZoneInputs>(job, kZoneFields);
}

PoolTexts JobToPoolTexts(const Job& job) {
    return JobJson::TextsOf<PoolTexts, PoolInputs>(job, kPoolFields);
}
