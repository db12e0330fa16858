// Standard output as the tool writes it: a buffered stream over a file descriptor that
// keeps the system's reason when a write fails, so the tool can end with that reason
// instead of exiting 0 with its output lost (a full disk, a closed descriptor).
#pragma once

#include <array>
#include <ostream>
#include <streambuf>
#include <string>

namespace rivo::tool {

class FdOutputBuf final : public std::streambuf {
public:
    // failWith, when not 0, is the error every write reports without trying (for a
    // standard output that was closed when the tool started).
    explicit FdOutputBuf(int fd, int failWith = 0);
    ~FdOutputBuf() override;
    FdOutputBuf(const FdOutputBuf&) = delete;
    FdOutputBuf& operator=(const FdOutputBuf&) = delete;

    // The errno of the first failed write; 0 while every write succeeded.
    int error() const { return error_; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

private:
    bool writeAll(const char* data, std::size_t count);
    bool drain();

    int fd_;
    int error_;
    std::array<char, 65536> buffer_{};
};

// Why out could not be written: the system's reason when out writes through an
// FdOutputBuf that recorded one, otherwise a general text.
std::string OutputFailureReason(const std::ostream& out);

}  // namespace rivo::tool
