// The tool's standard output: a stream buffer over a descriptor that remembers why a write
// failed.
#include "tool/fd_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/translate.h"

namespace rivo::tool {

FdOutputBuf::FdOutputBuf(int fd, int failWith) : fd_(fd), error_(failWith) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdOutputBuf::~FdOutputBuf() { drain(); }

bool FdOutputBuf::writeAll(const char* data, std::size_t count) {
    // Nothing to write is no failure, whatever the descriptor.
    if (count == 0) return true;
    if (error_ != 0) return false;
    while (count > 0) {
        const ssize_t n = ::write(fd_, data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool FdOutputBuf::drain() {
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    const bool ok = writeAll(pbase(), pending);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return ok;
}

FdOutputBuf::int_type FdOutputBuf::overflow(int_type ch) {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
    return ch;
}

std::streamsize FdOutputBuf::xsputn(const char* data, std::streamsize count) {
    if (count <= 0) return 0;
    const auto room = static_cast<std::streamsize>(epptr() - pptr());
    if (count <= room) {
        std::memcpy(pptr(), data, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    // Larger than the room left: what is buffered goes first, then the data directly.
    if (!drain() || !writeAll(data, static_cast<std::size_t>(count))) return 0;
    return count;
}

int FdOutputBuf::sync() { return drain() ? 0 : -1; }

std::string OutputFailureReason(const std::ostream& out) {
    if (const auto* fd = dynamic_cast<const FdOutputBuf*>(out.rdbuf()); fd && fd->error() != 0)
        return std::strerror(fd->error());
    return Tr("errore di scrittura");
}

}  // namespace rivo::tool
