#pragma once

#include "cli/FdOutput.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

// A file that is replaced whole or not at all. What is written goes to a
// temporary file in the target's folder, which Commit() flushes to the disk and
// renames over the target. Until then an earlier file stays as it was: on a
// failure, when the object goes away uncommitted, or when SIGINT, SIGTERM or
// SIGHUP ends the program, the temporary file is removed. A target that exists
// and is no regular file (/dev/null, a pipe) is written directly.
namespace CalcCli {

class AtomicFile {
public:
    // Creates the temporary file; Error() tells why when it could not. A target
    // that is a symbolic link is replaced where the link points, keeping the link;
    // an existing target's permissions are kept.
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const;
    // Why the temporary file could not be created ("Permission denied", "it is a
    // folder"); empty when it was.
    const std::string& Error() const { return error_; }

    // Where to write; a failed write leaves it failed, and Commit() then refuses.
    std::ostream& Stream();

    // Writes out, syncs and closes the temporary file and renames it into place.
    // Returns the reason when any step fails (the target is then untouched), or
    // the empty text once the file is in place.
    std::string Commit();

private:
    std::filesystem::path target_;
    std::string temporary_;
    std::string error_;
    std::unique_ptr<FdOutput> buffer_;
    std::unique_ptr<std::ostream> stream_;
    int fd_ = -1;
    int slot_ = -1;
    bool direct_ = false; // writing to the target itself
    bool committed_ = false;
};

} // namespace CalcCli
