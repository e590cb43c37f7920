#pragma once

#include <streambuf>
#include <vector>

namespace CalcCli {

// An output stream's buffer that writes straight to a file descriptor and keeps
// the reason of the first failed write, which a stream alone does not tell.
// After a failure nothing more is written, and the stream fails.
class FdOutput : public std::streambuf {
public:
    explicit FdOutput(int fd);

    // The errno of the first failed write, or 0.
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool Drain();

    int fd_;
    std::vector<char> data_;
    int error_ = 0;
};

} // namespace CalcCli
