// `rivo800-tool info` and `rivo800-tool extract`, run in-process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "image/kvx_image.h"
#include "image_builder.h"
#include "packed_encoder.h"
#include "tool/tool.h"

namespace rivo::tool {
extern const bool kInfoCommandRegistered;
extern const bool kExtractCommandRegistered;
}  // namespace rivo::tool

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct ToolRun {
    int code;
    std::string out, err;
};

ToolRun RunToolWith(const std::vector<std::string>& args) {
    // Keep the two commands' object files in the test program.
    EXPECT_TRUE(tool::kInfoCommandRegistered && tool::kExtractCommandRegistered);
    std::ostringstream out, err;
    int code = tool::RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

class InfoExtract : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("rivo-info-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

const Bytes kSupportContent = Text("favourites, favourites, favourites and the configuration");

Bytes FlashImage() {
    // "Lista\xE8" holds a Windows-1252 byte: JSON shows it as UTF-8 "è".
    ModuleSpec support{"Support", {{"Support.pre", Pack(kSupportContent)}, {"Lista\xE8", Text("raw")}}};
    ModuleSpec tpt{"TPT", {{"tpt.bin", PatternBytes(1200, 1)}}};
    ModuleSpec seven{"7", {{"x", Text("seven")}}};
    return BuildFlashImage({SectorSpec::Table({support, tpt}), SectorSpec::Raw(MakeRawSector(3)),
                            SectorSpec::Table({seven})});
}

}  // namespace

TEST_F(InfoExtract, InfoPrintsTheContainerInOrder) {
    std::string image = write("a.Bin", FlashImage());
    ToolRun r = RunToolWith({"info", image});
    ASSERT_EQ(r.code, 0) << r.err;
    auto j = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "type", "variant", "file_size", "ucr_sector", "num_entries",
                                              "modules"}));
    EXPECT_EQ(j["file"], image);
    EXPECT_EQ(j["type"], 1);
    EXPECT_EQ(j["file_size"], 524288);
    EXPECT_EQ(j["ucr_sector"], 1);
    EXPECT_EQ(j["num_entries"], 5);
    ASSERT_EQ(j["modules"].size(), 4u);
    const auto& tpt = j["modules"][1];
    std::vector<std::string> mkeys;
    for (auto it = tpt.begin(); it != tpt.end(); ++it) mkeys.push_back(it.key());
    EXPECT_EQ(mkeys, (std::vector<std::string>{"index", "name", "kind", "sector", "slot", "offset", "address", "size",
                                               "declared_entries", "entries"}));
    EXPECT_EQ(tpt["index"], 1);
    EXPECT_EQ(tpt["name"], "TPT");
    EXPECT_EQ(tpt["kind"], 2);
    EXPECT_EQ(tpt["size"], 1224);
    EXPECT_EQ(tpt["declared_entries"], 1);
    const auto& e = tpt["entries"][0];
    std::vector<std::string> ekeys;
    for (auto it = e.begin(); it != e.end(); ++it) ekeys.push_back(it.key());
    EXPECT_EQ(ekeys, (std::vector<std::string>{"name", "kind", "size", "offset", "file_pos"}));
    EXPECT_EQ(e["name"], "tpt.bin");
    EXPECT_EQ(e["size"], 1200);
    EXPECT_EQ(e["offset"], 36);
    EXPECT_EQ(e["file_pos"], tpt["offset"].get<int>() + 36);
    EXPECT_EQ(j["modules"][0]["entries"][1]["name"], "Lista\xC3\xA8");
    EXPECT_EQ(j["modules"][2]["name"], "UCR");
    EXPECT_EQ(j["modules"][2]["kind"], 3);
}

TEST_F(InfoExtract, InfoOnMainCodeShowsUnplacedSectors) {
    MainCodeSpec spec;
    spec.layout = MainCodeSpec::Layout::Signature2;
    spec.modules = {{"boot", {{"boot.app", Pack(Text("b"))}}}, {"app", {{"a", Pack(Text("a"))}}}};
    MainCodeBuilt built = BuildMainCodeImage(spec);
    ToolRun r = RunToolWith({"info", write("m.bin", built.bytes)});
    ASSERT_EQ(r.code, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["type"], 2);
    EXPECT_EQ(j["variant"], 4);
    EXPECT_EQ(j["modules"][1]["sector"], -10);
    EXPECT_EQ(j["modules"][1]["slot"], -10);
    EXPECT_EQ(j["modules"][1]["address"].get<std::int64_t>(), static_cast<std::int32_t>(built.addresses[1]));
}

TEST_F(InfoExtract, FailuresEndWithTheirStatus) {
    std::string junk = write("junk.Bin", PatternBytes(70000, 5));
    std::string tiny = write("tiny.Bin", Bytes(100, 0));
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    } cases[] = {
        {{"info", junk}, 2, "Formato file sconosciuto"},
        {{"info", tiny}, 2, "Formato file sconosciuto"},
        {{"info", path("missing.Bin")}, 4, "missing.Bin"},
        {{"extract", junk, "0", "0"}, 2, "Formato file sconosciuto"},
        {{"extract", path("missing.Bin"), "0", "0"}, 4, "No such file"},
        {{"info"}, 1, ""},
        {{"extract", junk, "0"}, 1, ""},
    };
    for (const auto& c : cases) {
        ToolRun r = RunToolWith(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty() || c.code == 1);
    }
}

TEST_F(InfoExtract, ExtractByIndexOrNameDecodedOrRaw) {
    std::string image = write("a.Bin", FlashImage());
    const Bytes packed = Pack(kSupportContent);
    struct Case {
        std::vector<std::string> args;
        Bytes expected;
    } cases[] = {
        {{"extract", image, "0", "0"}, kSupportContent},
        {{"extract", image, "Support", "Support.pre"}, kSupportContent},
        {{"extract", image, "Support", "Support.pre", "--raw"}, packed},
        {{"extract", image, "0", "Lista\xC3\xA8", "--raw"}, Text("raw")},
        {{"extract", image, "TPT", "0"}, PatternBytes(1200, 1)},  // plain: stored bytes
        {{"extract", image, "2", "UCR"}, MakeRawSector(3)},
        // "7" is no module index (there are four): it names the module.
        {{"extract", image, "7", "x", "--raw"}, Text("seven")},
    };
    for (const auto& c : cases) {
        ToolRun r = RunToolWith(c.args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Bytes(r.out.begin(), r.out.end()), c.expected) << c.args[2] << "/" << c.args[3];
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"extract", image, "9", "0"},
                                                std::vector<std::string>{"extract", image, "Nope", "0"},
                                                std::vector<std::string>{"extract", image, "0", "5"}}) {
        ToolRun r = RunToolWith(bad);
        EXPECT_EQ(r.code, 4);
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(InfoExtract, ExtractToFile) {
    std::string image = write("a.Bin", FlashImage());
    std::string out = path("out.bin");
    ToolRun r = RunToolWith({"extract", image, "Support", "0", "-o", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    std::string error;
    EXPECT_EQ(ReadWholeFile(out, error), kSupportContent);
    // A failing extract leaves an existing output as it was.
    ToolRun bad = RunToolWith({"extract", image, "Nope", "0", "-o", out});
    EXPECT_EQ(bad.code, 4);
    EXPECT_EQ(ReadWholeFile(out, error), kSupportContent);
}
