// The tool on files that are no images, on images of the wrong size, on file names
// that are not UTF-8, and with a standard output that cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "channel_fixtures.h"
#include "image/kvx_image.h"
#include "packed_encoder.h"
#include "tool_run.h"

namespace rivo::tool {
extern const bool kInfoCommandRegistered;
extern const bool kExtractCommandRegistered;
}  // namespace rivo::tool

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::ReadText;
using rivo::tool::testing::RunPageTool;
using rivo::tool::testing::ToolRun;

namespace {

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

bool ContainsPart(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

ToolRun RunToolWith(const std::vector<std::string>& args) {
    EXPECT_TRUE(tool::kInfoCommandRegistered && tool::kExtractCommandRegistered);
    return RunPageTool(args);
}

// Runs the real program through the shell, so that its standard output can be a full
// device or closed. Returns the exit status and what it wrote on standard error.
struct ProgramRun {
    int code;
    std::string err;
};
ProgramRun RunProgram(const std::string& arguments, const std::string& redirection,
                      const TempFolder& folder) {
    const std::string errPath = folder.path("stderr.txt");
    const std::string command =
        "'" RIVO_TOOL_PATH "' " + arguments + " " + redirection + " 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status)) << command;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(errPath)};
}

Bytes ListImage() { return BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4)); }

}  // namespace

TEST(ToolBadInput, FilesThatAreNoImagesAreRefusedWithTheirReason) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe.Bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("folder.Bin"));
    WriteFile(folder.path("huge.Bin"), {});
    std::filesystem::resize_file(folder.path("huge.Bin"), std::uint64_t{3} << 30);
    WriteFile(folder.path("junk.Bin"), Bytes(1000, 0x5A));  // too short for any image
    struct Case {
        std::string path;
        int code;
        std::string reason;
    };
    const Case cases[] = {
        {"/dev/zero", 4, "non è un file normale"},
        {fifo, 4, "non è un file normale"},  // must not wait for a writer
        {folder.path("folder.Bin"), 4, "Is a directory"},
        {folder.path("missing.Bin"), 4, "No such file or directory"},
        {folder.path("huge.Bin"), 4, "è troppo grande (3221225472 byte"},
        {folder.path("junk.Bin"), 2, "Formato file sconosciuto"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"info", "dump"}) {
            SCOPED_TRACE(std::string(command) + " " + c.path);
            const ToolRun run = RunToolWith({command, c.path});
            EXPECT_EQ(run.code, c.code);
            EXPECT_TRUE(ContainsPart(run.err, c.reason)) << run.err;
            EXPECT_TRUE(run.out.empty()) << run.out.substr(0, 200);
        }
    }
}

TEST(ToolBadInput, SymbolRateFileThatCannotBeReadIsRefusedWithItsReason) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, ListImage());
    const std::string fifo = folder.path("fifo.Ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("folder.Ini"));
    // 1 MiB is the largest taken: one byte more is refused.
    const std::string atLimit = folder.path("limit.Ini");
    WriteFile(atLimit, {});
    std::filesystem::resize_file(atLimit, std::uint64_t{1} << 20);
    const std::string overLimit = folder.path("over.Ini");
    WriteFile(overLimit, {});
    std::filesystem::resize_file(overLimit, (std::uint64_t{1} << 20) + 1);
    std::filesystem::create_symlink(folder.path("nowhere.Ini"), folder.path("dangling.Ini"));
    struct Case {
        std::string ini;
        int code;
        std::string reason;  // on standard error; "" for a run that says nothing
    };
    const Case cases[] = {
        {fifo, 4, "non è un file normale"},  // must not wait for a writer
        {"/dev/zero", 4, "non è un file normale"},
        {folder.path("folder.Ini"), 4, "Is a directory"},
        {overLimit, 4, "è troppo grande (1048577 byte; al massimo 1048576 byte)"},
        {atLimit, 0, ""},
        {folder.path("missing.Ini"), 0, ""},  // nothing there: zero rates, in silence
        {folder.path("dangling.Ini"), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        const ToolRun opened = RunToolWith({"dump", "--sr-ini", c.ini, image});
        EXPECT_EQ(opened.code, c.code) << opened.err;
        if (c.code == 4) {
            EXPECT_TRUE(ContainsPart(opened.err, "rivo800-tool: --sr-ini: ")) << opened.err;
            EXPECT_TRUE(ContainsPart(opened.err, "\"" + c.ini + "\"")) << opened.err;
            EXPECT_TRUE(ContainsPart(opened.err, c.reason)) << opened.err;
            EXPECT_TRUE(opened.out.empty());
        } else {
            EXPECT_EQ(opened.err, "");
        }
        // --symbol-rates replaces the ini file, which is then not read at all.
        const ToolRun given =
            RunToolWith({"dump", "--sr-ini", c.ini,
                         "--symbol-rates=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", image});
        EXPECT_EQ(given.code, 0) << given.err;
    }
    // A missing file names the reason when a set is asked for by name.
    const ToolRun named = RunToolWith(
        {"dump", "--sr-ini", folder.path("missing.Ini"), "--sr-set", "Standard", image});
    EXPECT_EQ(named.code, 1);
    EXPECT_TRUE(ContainsPart(named.err, "nessun set chiamato 'Standard'")) << named.err;
    EXPECT_TRUE(ContainsPart(named.err, "No such file or directory")) << named.err;
}

// A symbol-rate file the user may not read is refused with the system's reason, as the
// other unreadable ones are. Run without root's privileges (root reads any file), in a
// child process that exits with the tool's status and passes its message on.
TEST(ToolBadInput, SymbolRateFileWithoutReadPermissionIsRefused) {
    TempFolder folder;
    OpenToEveryone(folder);
    const std::string image = folder.path("list.Bin");
    WriteFile(image, ListImage());
    const std::string locked = folder.path("locked.Ini");
    WriteFile(locked, Bytes{'[', 'S', ']', '\n'});
    ASSERT_EQ(::chmod(locked.c_str(), 0200), 0);
    EXPECT_EXIT(
        {
            if (!DropRootPrivileges()) std::_Exit(2);
            const ToolRun opened = RunToolWith({"dump", "--sr-ini", locked, image});
            std::fputs(opened.err.c_str(), stderr);
            std::_Exit(opened.out.empty() ? opened.code : 3);
        },
        ::testing::ExitedWithCode(4), "rivo800-tool: --sr-ini: .*locked.Ini.*Permission denied");
}

TEST(ToolBadInput, DefaultSymbolRateFileIsHeldToTheSameContract) {
    // The default is "Sr.Ini" in the current directory: a folder of that name is refused,
    // none at all is silent.
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, ListImage());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.root());
    const ToolRun silent = RunToolWith({"dump", image});
    std::filesystem::create_directory(folder.path("Sr.Ini"));
    const ToolRun refused = RunToolWith({"dump", image});
    std::filesystem::current_path(previous);
    EXPECT_EQ(silent.code, 0) << silent.err;
    EXPECT_EQ(silent.err, "");
    EXPECT_EQ(refused.code, 4);
    EXPECT_TRUE(ContainsPart(refused.err, "\"Sr.Ini\"")) << refused.err;
    EXPECT_TRUE(ContainsPart(refused.err, "Is a directory")) << refused.err;
}

TEST(ToolBadInput, AnImageOfAnotherSizeIsWarnedAboutAndStillHandled) {
    TempFolder folder;
    const Bytes full = ListImage();
    struct Case {
        std::size_t size;
        std::string part;
    };
    const Case cases[] = {
        {458752, "parte mancante"}, {65536, "parte mancante"}, {524289, "non saranno salvati"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        Bytes bytes = full;
        bytes.resize(c.size);
        const std::string path = folder.path("cut.Bin");
        WriteFile(path, bytes);
        const std::string sizes =
            "è lungo " + std::to_string(c.size) + " byte, ma un'immagine flash ne ha 524288";
        for (const char* command : {"info", "dump"}) {
            const ToolRun run = RunToolWith({command, path});
            EXPECT_EQ(run.code, 0) << command << run.err;
            EXPECT_FALSE(run.out.empty());
            EXPECT_TRUE(ContainsPart(run.err, "Attenzione: " + path + ": ")) << run.err;
            EXPECT_TRUE(ContainsPart(run.err, sizes)) << run.err;
            EXPECT_TRUE(ContainsPart(run.err, c.part)) << run.err;
        }
        // save writes, as asked, and the warning stands.
        const std::string out = folder.path("out.Bin");
        std::filesystem::remove(out);
        const ToolRun saved = RunToolWith({"save", path, out});
        EXPECT_TRUE(ContainsPart(saved.err, sizes)) << saved.err;
        if (c.size > full.size()) {
            EXPECT_EQ(saved.code, 0) << saved.err;
            EXPECT_EQ(ReadText(out).size(), full.size());
        }
    }
    // An image of the right size says nothing.
    const std::string exact = folder.path("exact.Bin");
    WriteFile(exact, full);
    const ToolRun run = RunToolWith({"info", exact});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
}

TEST(ToolBadInput, FileNamesThatAreNotUtf8ComeOutWithReplacementCharacters) {
    TempFolder folder;
    struct Case {
        std::string name;
        std::string shown;  // the name as the JSON holds it, UTF-8
    };
    const Case cases[] = {
        {"\xFF\xFE.Bin", "\xEF\xBF\xBD\xEF\xBF\xBD.Bin"},
        {"a\xE8.Bin", "a\xEF\xBF\xBD.Bin"},      // Windows-1252 è
        {"\xC3(.Bin", "\xEF\xBF\xBD(.Bin"},      // a cut two-byte sequence
        {"caf\xC3\xA9.Bin", "caf\xC3\xA9.Bin"},  // valid UTF-8 stays as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const std::string path = folder.path(c.name);
        WriteFile(path, ListImage());
        const ToolRun run = RunToolWith({"info", path});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_EQ(json["file"].get<std::string>(), folder.path(c.shown));
        EXPECT_FALSE(json["modules"].empty());
    }
}

TEST(ToolBadInput, OutputThatCannotBeWrittenIsExit4WithTheSystemsReason) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, ListImage());
    const std::string commands[] = {
        "info '" + image + "'",
        "dump '" + image + "'",
        "export '" + image + "' --table channels",
        "extract '" + image + "' 0 0",
        "edit '" + image + "' --dump swap-satellites",
        "--help",
    };
    struct Target {
        std::string redirection;
        std::string reason;
    };
    const Target targets[] = {{">/dev/full", "No space left on device"},
                              {">&-", "Bad file descriptor"}};
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const ProgramRun ok = RunProgram(command, ">'" + folder.path("out.txt") + "'", folder);
        EXPECT_EQ(ok.code, 0) << ok.err;
        EXPECT_FALSE(ReadText(folder.path("out.txt")).empty());
        for (const Target& t : targets) {
            SCOPED_TRACE(t.redirection);
            const ProgramRun failed = RunProgram(command, t.redirection, folder);
            EXPECT_EQ(failed.code, 4);
            EXPECT_TRUE(
                ContainsPart(failed.err, "impossibile scrivere sullo standard output: " + t.reason))
                << failed.err;
        }
    }
    // A command that prints nothing is not troubled by a closed standard output, and
    // the file it writes does not receive what was meant for standard output.
    const std::string out = folder.path("saved.Bin");
    const ProgramRun saved = RunProgram("save '" + image + "' '" + out + "'", ">&-", folder);
    EXPECT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(ReadText(out).size(), static_cast<std::size_t>(kFlashImageSize));
}

TEST(ToolBadInput, AFailingOutputStreamIsExit4InProcess) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, ListImage());
    std::ostringstream sink;
    sink.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(tool::RunTool({"info", image}, sink, err), 4);
    EXPECT_TRUE(
        ContainsPart(err.str(), "impossibile scrivere sullo standard output: errore di scrittura"))
        << err.str();
}

TEST(ToolBadInput, DamagedTablesAreNamedOnStandardErrorAndCutEntriesAreNotSaved) {
    TempFolder folder;
    // Sector 1: a TPT module whose 536-byte entry, ending at the sector's end, is
    // declared 2000 bytes long.
    const Bytes image = EntryPastItsSectorImage();
    const std::string path = folder.path("cut.Bin");
    WriteFile(path, image);
    const std::string warning =
        "Attenzione: " + path +
        ": La tabella dei moduli è danneggiata:\n- modulo \"TPT\" (settore 1), voce \"TPT\": "
        "dichiarata di 2000 byte, va oltre la fine del settore; letti 536 byte, il salvataggio "
        "sarà rifiutato.\n";
    for (const char* command : {"info", "dump"}) {
        SCOPED_TRACE(command);
        const ToolRun run = RunToolWith({command, path});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.err, warning);
    }
    const std::string out = folder.path("out.Bin");
    const ToolRun saved = RunToolWith({"save", path, out});
    EXPECT_EQ(saved.code, 4);
    EXPECT_EQ(saved.err, warning +
                             "Impossibile salvare: la tabella dei moduli è danneggiata e il "
                             "salvataggio perderebbe dei "
                             "byte: modulo \"TPT\" (settore 1), voce \"TPT\": dichiarata di 2000 "
                             "byte, va oltre la fine "
                             "del settore; letti 536 byte.\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ToolBadInput, ATableBeyondWhatAModuleHoldsIsRefused) {
    TempFolder folder;
    // "xTPT" is packed; its stream decodes to a megabyte of repeats.
    PackedEncoder encoder;
    encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
    for (int i = 0; i < (1 << 20) / 64; ++i) encoder.Match(8, 64);
    encoder.EndMarker();
    const Bytes image = BuildFlashImage({SectorSpec::Table({ModuleSpec{
        .name = "xTPT", .entries = {EntrySpec{.name = "xTPT", .bytes = encoder.Finish()}}}})});
    const std::string path = folder.path("bomb.Bin");
    WriteFile(path, image);
    for (const char* command : {"dump", "save"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> args{command, path};
        if (std::string(command) == "save") args.push_back(folder.path("out.Bin"));
        const ToolRun run = RunToolWith(args);
        EXPECT_EQ(run.code, 4);
        EXPECT_EQ(
            run.err,
            "Attenzione: " + path +
                ": La tabella del modulo \"xTPT\" supera 65468 byte, il massimo che un modulo può "
                "contenere in un settore: la lista non può essere aperta.\n");
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("out.Bin")));
    // extract decodes the entry on its own, within the entry limit of 16 MiB.
    const ToolRun extracted = RunToolWith({"extract", path, "0", "0", "-o", folder.path("x.bin")});
    EXPECT_EQ(extracted.code, 0) << extracted.err;
    EXPECT_EQ(std::filesystem::file_size(folder.path("x.bin")), 8u + (1u << 20));
}
