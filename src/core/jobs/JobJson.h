#pragma once

#include "core/jobs/JobFile.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What job and project files share, for the engine's readers and writers only:
// the checks on a file's bytes before and while it is parsed, and a job as a JSON
// object, so that a project's rooms are jobs exactly as a job file holds them.
namespace JobJson {

using Json = nlohmann::json;
// Written in a fixed order, so that saving the same thing twice gives the same
// bytes and the file reads top to bottom like the screen.
using OrderedJson = nlohmann::ordered_json;

// What kind of file is read, for the problems: "job file", "project file".
struct FileKind {
    std::string_view noun;
    std::string_view formatName;
    std::size_t maxBytes;
};

// "is damaged: WHAT".
std::string Damaged(std::string_view what);
// A key as JSON writes it, cut when long, safe inside a one-line message.
std::string Quoted(std::string_view key);

// The document of a file's bytes, or the problem with them: size, UTF-16, not an
// object, bad UTF-8, a NUL byte, not JSON, a key given twice, another format, a
// missing, odd or newer formatVersion (newer than version).
struct Parsed {
    std::optional<Json> doc;
    std::string problem;
};
Parsed Parse(std::string_view bytes, const FileKind& kind, int version);

// The format name and version of a parsed object, checked as Parse checks a file's.
std::string FormatProblem(const Json& doc, const FileKind& kind, int version);

// An optional text member; false (with the problem set) when it is there but no text.
bool ReadText(const Json& object, const char* key, std::string& text, std::string& problem);

// A job from a parsed job object (format, version, calculation, texts, entries).
JobRead JobFromJson(const Json& doc);
OrderedJson JobToJson(const Job& job);

// At most maxBytes + 1 bytes of a file, or why it could not be read ("cannot be
// opened (No such file or directory)", "is a folder, not a file").
struct FileBytes {
    std::string bytes;
    std::string problem;
    bool unopened = false;
};
FileBytes ReadBytes(const std::filesystem::path& path, const FileKind& kind);

// Dumps with two-space indentation and a final line feed; a stray byte that is
// not UTF-8 becomes U+FFFD rather than making the file unsavable.
std::string Dump(const OrderedJson& doc);

} // namespace JobJson
