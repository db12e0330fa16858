// rivo800-tool's entry point: standard descriptors held, the language from the environment,
// then the command line run by RunTool.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>
#include <vector>

#include "image/temp_cleanup.h"
#include "text/language.h"
#include "tool/fd_output.h"
#include "tool/tool.h"

int main(int argc, char** argv) {
    rivo::RemoveTempFilesOnSignals();
    // A standard descriptor that was closed is taken by the next file opened: what is
    // printed would land in an image being read or a file being saved. Each one closed
    // is held by /dev/null instead; standard output then reports every write as
    // failed, so the tool ends with exit 4 rather than claiming output nobody got.
    bool outputClosed = false;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (fd == 1) outputClosed = true;
        const int held = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
    // The language the environment asks for, before anything is printed and after the
    // standard descriptors are held (the catalogue's file cannot take one of them). An
    // English catalogue that is missing leaves the texts Italian without a word: the user
    // did not ask this program for English in particular (--lang en, handled by RunTool,
    // does, and is told).
    const std::vector<std::string> catalogueFolders = rivo::CatalogueFolders(argc > 0 && argv[0] ? argv[0] : "");
    std::string languageProblem;
    rivo::UseLanguage(rivo::LanguageFromEnvironment(), catalogueFolders, &languageProblem);
    rivo::tool::FdOutputBuf outputBuffer(1, outputClosed ? EBADF : 0);
    std::ostream out(&outputBuffer);
    std::vector<std::string> args(argv + 1, argv + argc);
    return rivo::tool::RunTool(args, out, std::cerr, catalogueFolders);
}
