#include "cli/FdOutput.h"

#include <cerrno>
#include <unistd.h>

namespace CalcCli {

FdOutput::FdOutput(int fd) : fd_(fd), data_(64 * 1024) {
    setp(data_.data(), data_.data() + data_.size());
}

FdOutput::int_type FdOutput::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FdOutput::sync() {
    return Drain() ? 0 : -1;
}

bool FdOutput::Drain() {
    const char* from = pbase();
    while (error_ == 0 && from < pptr()) {
        const ssize_t n = ::write(fd_, from, static_cast<std::size_t>(pptr() - from));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write of nothing would repeat forever; the disk is as good as full.
            error_ = n < 0 ? errno : ENOSPC;
            break;
        }
        from += n;
    }
    setp(data_.data(), data_.data() + data_.size());
    return error_ == 0;
}

} // namespace CalcCli
