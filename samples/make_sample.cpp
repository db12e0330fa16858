// Writes the bundled sample: Sample.Bin, a flash image of the receiver with a channel
// list in the split layout, and Sr.Ini with named symbol-rate sets, into the folder given
// as the first argument. The image is checked by reading it back before the program ends.
//
//   rivo800-make-sample OUTDIR
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/page_io.h"
#include "image/byte_reader.h"
#include "image/kvx_image.h"

using namespace std::string_literals;
using rivo::ByteWriter;
using rivo::Bytes;

namespace {

struct Entry {
    std::string name;
    Bytes bytes;
};
struct Module {
    std::string name;
    std::vector<Entry> entries;
};

// ---- the flash layout ------------------------------------------------------------------

Bytes ModuleBytes(const Module& m) {
    Bytes out;
    ByteWriter w(out);
    std::size_t data = 0;
    for (const auto& e : m.entries) data += e.bytes.size();
    const std::size_t n = m.entries.size();
    const std::size_t length = (16 + 20 * n + data + 3) / 4 * 4;
    w.name(m.name, 10);
    w.le16(static_cast<std::uint16_t>(length - 12));
    w.u8(static_cast<std::uint8_t>(n));
    w.zeros(3);
    std::size_t offset = 16 + 20 * n;
    for (const auto& e : m.entries) {
        w.name(e.name, 12);
        w.le16(static_cast<std::uint16_t>(offset - 12));
        w.zeros(2);
        w.le16(static_cast<std::uint16_t>(e.bytes.size()));
        w.zeros(2);
        offset += e.bytes.size();
    }
    for (const auto& e : m.entries) w.bytes(e.bytes);
    w.padTo(4);
    return out;
}

// A sector with an offset table; the part no module uses stays erased (0xFF).
Bytes TableSector(const std::vector<Module>& modules) {
    Bytes sector(32, 0);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const Bytes m = ModuleBytes(modules[i]);
        sector[2 * i] = static_cast<std::uint8_t>(sector.size() & 0xFF);
        sector[2 * i + 1] = static_cast<std::uint8_t>(sector.size() >> 8);
        sector.insert(sector.end(), m.begin(), m.end());
    }
    for (std::size_t i = modules.size(); i < 16; ++i) sector[2 * i] = sector[2 * i + 1] = 0xFF;
    if (sector.size() > static_cast<std::size_t>(rivo::kSectorSize)) throw std::runtime_error("sector overflow");
    sector.resize(rivo::kSectorSize, 0xFF);
    return sector;
}

// Packed content: literal runs only, as the core writes a packed entry it replaces.
Bytes PackSample(const Bytes& content) { return rivo::PackLiterals(content); }

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// ---- the list ----------------------------------------------------------------------------

struct Transponder {
    int mhz;       // received frequency, MHz
    int khz;       // and the part below 1 MHz, kHz
    char pol;      // 'H' or 'V'
    int srCode;    // index into the first Sr.Ini set
    int fec;       // 0..4
    bool astra;    // satellite B
    std::uint16_t tid, nid;
};

const std::vector<Transponder>& SampleTransponders() {
    static const std::vector<Transponder> list = [] {
        std::vector<Transponder> t;
        // HotBird (satellite A): 27500 (code 0) and 29900 (code 2), NID 318.
        const std::vector<std::pair<int, char>> hotbird{
            {10719, 'V'}, {10758, 'V'}, {10775, 'H'}, {10815, 'H'}, {10834, 'V'}, {10853, 'H'}, {10873, 'V'},
            {10892, 'H'}, {10911, 'V'}, {10930, 'H'}, {10949, 'V'}, {11013, 'H'}, {11034, 'V'}, {11054, 'H'},
            {11096, 'H'}, {11137, 'H'}, {11158, 'V'}, {11747, 'H'}, {11766, 'V'}, {11804, 'V'}, {11862, 'H'},
            {11881, 'V'}, {12111, 'V'}, {12207, 'V'}, {12380, 'V'}, {12476, 'H'}, {12597, 'V'}, {12673, 'V'}};
        std::uint16_t tid = 300;
        for (const auto& [mhz, pol] : hotbird)
            t.push_back({mhz, 0, pol, mhz % 3 == 0 ? 2 : 0, mhz % 5 == 0 ? 1 : 2, false, tid++, 318});
        // Astra (satellite B): 22000 (code 1) and 27500, NID 1; one SCPC carrier at 5632.
        const std::vector<std::pair<int, char>> astra{{10744, 'H'}, {10773, 'H'}, {10832, 'H'}, {10862, 'H'},
                                                      {11362, 'H'}, {11494, 'H'}, {11597, 'V'}, {11719, 'H'},
                                                      {11778, 'V'}, {11836, 'H'}, {11954, 'H'}, {12188, 'H'},
                                                      {12266, 'H'}, {12422, 'H'}, {12552, 'V'}};
        tid = 1001;
        for (const auto& [mhz, pol] : astra)
            t.push_back({mhz, 0, pol, mhz < 11700 ? 1 : 0, mhz < 11700 ? 3 : 2, true, tid++, 1});
        t.push_back({12524, 500, 'V', 4, 1, true, 1099, 1});   // 12524,5 MHz, 5632 ks/s
        t.push_back({11170, 250, 'H', 5, 0, false, 399, 318});  // 11170,25 MHz, 6111 ks/s
        return t;
    }();
    return list;
}

const std::vector<std::string> kTv{
    "Rai 1",        "Rai 2",       "Rai 3",        "Rete 4",       "Canale 5",      "Italia 1",     "La7",
    "TV2000",       "Rai News 24", "Rai Storia",   "Rai Scuola",   "Rai 4",         "Rai 5",        "Rai Movie",
    "Rai Premium",  "Rai Gulp",    "Rai YoYo",     "Rai Sport",    "Euronews",      "Arte",         "TV5Monde",
    "France 24",    "DW English",  "BBC World",    "CNN Int.",     "Bloomberg TV",  "NHK World",    "CGTN",
    "Al Jazeera",   "Das Erste",   "ZDF",          "3sat",         "KiKA",          "Phoenix",      "ORF2 Europe",
    "SRF info",     "RSI La 1",    "Tele Citt\xE0", "T\xE9l\xE9 Monte", "Canal S\xE9nat", "TVE Int.", "RTP Int.",
    "ERT World",    "TRT World",   "Sky News Int", "Eurosport",    "Motorvision",   "Fashion TV",   "Travel XP",
    "Cartoonito",   "Boing",       "Iris",         "Cine34",       "Focus",         "Top Crime",    "Giallo",
    "Real Time",    "DMAX",        "Food Network", "Nove",         "Twenty Seven",  "Mediaset Extra", "La5",
};
const std::vector<std::string> kRadio{
    "Rai Radio 1",   "Rai Radio 2",  "Rai Radio 3",  "Isoradio",     "Radio Maria",  "RTL 102.5",
    "Radio 24",      "Radio Radicale", "Radio Vaticana", "Deutschlandfunk", "Bayern 3", "SWR3",
    "BBC World Svc", "RFI Monde",    "Radio Swiss Pop", "Klassik Radio", "Radio Capital", "Virgin Radio",
};
const std::vector<std::string> kData{"EPG Dati", "Aggiornamento", "Televideo", "Info Servizi", "OTA Update"};

struct Channel {
    std::string name;
    std::uint8_t status;
    std::uint8_t transponder;
    std::uint16_t sid, vpid, apid, vecm, aecm, pcr;
};

std::vector<Channel> SampleChannels() {
    std::vector<Channel> list;
    int tv = 0, radio = 0, data = 0;
    const auto& tps = SampleTransponders();
    for (std::size_t t = 0; t < tps.size(); ++t) {
        const int count = 6 + static_cast<int>((t * 7) % 9);  // 6..14 services per transponder
        for (int i = 0; i < count; ++i) {
            Channel c{};
            c.transponder = static_cast<std::uint8_t>(t + 1);
            c.sid = static_cast<std::uint16_t>(tps[t].tid % 100 * 100 + i + 1);
            const int kind = (static_cast<int>(t) + i) % 8;  // 5 TV : 2 radio : 1 data
            const std::uint16_t base = static_cast<std::uint16_t>(0x100 + 0x10 * i);
            if (kind < 5) {
                const std::size_t n = static_cast<std::size_t>(tv++);
                c.name = kTv[n % kTv.size()];
                if (n >= kTv.size()) c.name += " +" + std::to_string(n / kTv.size());
                c.vpid = base;
                c.apid = static_cast<std::uint16_t>(base + 1);
                c.pcr = base;
            } else if (kind < 7) {
                const std::size_t n = static_cast<std::size_t>(radio++);
                c.name = kRadio[n % kRadio.size()];
                if (n >= kRadio.size()) c.name += " " + std::to_string(n / kRadio.size() + 1);
                c.vpid = 0xFFFF;
                c.apid = static_cast<std::uint16_t>(base + 2);
                c.pcr = c.apid;
            } else {
                const std::size_t n = static_cast<std::size_t>(data++);
                c.name = kData[n % kData.size()] + " " + std::to_string(n / kData.size() + 1);
                c.vpid = 0xFFFF;
                c.apid = 0xFFFF;
                c.pcr = 0x1FFF;
            }
            c.name.resize(std::min<std::size_t>(c.name.size(), 16));
            std::uint8_t status = 0x04;  // active
            const std::size_t number = list.size() + 1;
            if (number % 6 == 0 && kind < 5) {
                // Scrambled: SECA, NAGRAVISION, IRDETO or VIACESS with their ECM PIDs.
                static const std::uint8_t systems[] = {0x20, 0x40, 0x80, 0xA0};
                status |= systems[(number / 6) % 4];
                c.vecm = static_cast<std::uint16_t>(0x1770 + i);
                c.aecm = static_cast<std::uint16_t>(0x1780 + i);
            } else {
                c.vecm = c.aecm = 0xFFFF;
            }
            if (number % 17 == 0) status &= static_cast<std::uint8_t>(~0x04);  // inactive
            if (number % 29 == 0) status |= 0x01;                              // locked
            if (number % 11 == 0) status |= 0x02;                              // group marker
            c.status = status;
            list.push_back(c);
        }
    }
    return list;
}

constexpr std::array<std::int32_t, 16> kStandardRates{27500, 22000, 29900, 30000, 5632, 6111, 28000, 27000,
                                                      26000, 24500, 4340,  2960,  3300,  6666, 2894, 0};

Bytes TransponderTable() {
    Bytes out;
    ByteWriter w(out);
    for (const auto& t : SampleTransponders()) {
        const bool high = t.mhz >= 11700;
        const std::int64_t hz = std::int64_t{t.mhz} * 1000000 + std::int64_t{t.khz} * 1000 -
                                std::int64_t{high ? 10600 : 9750} * 1000000;
        w.be32(static_cast<std::uint32_t>(static_cast<std::int32_t>(hz)));
        w.be16(t.tid);
        w.be16(t.nid);
        w.u8(0);  // channel count, filled below
        w.u8(static_cast<std::uint8_t>(t.srCode));
        w.u8(static_cast<std::uint8_t>(t.fec));
        w.u8(static_cast<std::uint8_t>((high ? 1 : 0) | (t.pol == 'H' ? 2 : 0) | (t.astra ? 8 : 0)));
    }
    // Two spare slots at the end, as the receiver leaves them.
    w.zeros(24);
    return out;
}

Bytes ChannelTable(const std::vector<Channel>& list, std::size_t first, std::size_t count) {
    Bytes out;
    ByteWriter w(out);
    for (std::size_t i = first; i < first + count; ++i) {
        if (i >= list.size()) {
            w.zeros(30);
            continue;
        }
        const Channel& c = list[i];
        w.name(c.name, 16);
        w.u8(c.status);
        w.u8(c.transponder);
        for (std::uint16_t v : {c.sid, c.vpid, c.apid, c.vecm, c.aecm, c.pcr}) w.be16(v);
    }
    return out;
}

Bytes FavouriteList(const std::vector<std::uint16_t>& numbers) {
    Bytes out;
    ByteWriter w(out);
    for (std::size_t s = 0; s < 128; ++s) w.be16(s < numbers.size() ? numbers[s] : 0);
    return out;
}

std::string IniText() {
    return "; Symbol rates for the sixteen codes of the receiver, in ks/s\r\n"
           "[Standard]\r\n"
           "SR00=27500\r\nSR01=22000\r\nSR02=29900\r\nSR03=30000\r\nSR04=5632\r\nSR05=6111\r\n"
           "SR06=28000\r\nSR07=27000\r\nSR08=26000\r\nSR09=24500\r\nSR0A=4340\r\nSR0B=2960\r\n"
           "SR0C=3300\r\nSR0D=6666\r\nSR0E=2894\r\nSR0F=-1\r\n"
           "\r\n[HotBird 13E]\r\n"
           "SR00=27500\r\nSR01=29900\r\nSR02=27000\r\nSR03=26000\r\nSR04=6111\r\nSR05=5632\r\n"
           "SR06=4340\r\nSR07=2960\r\n"
           "\r\n[Astra 19.2E]\r\n"
           "SR00=22000\r\nSR01=27500\r\nSR02=23500\r\nSR03=29700\r\nSR04=30000\r\nSR05=31000\r\n"
           "SR06=12000\r\nSR07=5632\r\n"
           "\r\n[SCPC]\r\n"
           "SR00=2222\r\nSR01=2894\r\nSR02=3255\r\nSR03=3333\r\nSR04=4167\r\nSR05=4340\r\nSR06=5632\r\n"
           "SR07=6111\r\nSR08=6666\r\nSR09=7500\r\n"
           "\r\n[Personalizzato]\r\n";
}

int Fail(const std::string& message) {
    std::cerr << "rivo800-make-sample: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Fail("usage: rivo800-make-sample OUTDIR");
    const std::string folder = argv[1];
    try {
        const std::vector<Channel> list = SampleChannels();
        Bytes tpt = TransponderTable();
        for (const auto& c : list) tpt[static_cast<std::size_t>(c.transponder - 1) * 12 + 8] += 1;

        // Favourites: TV, radio, news, sport and films, by channel number.
        std::array<std::vector<std::uint16_t>, 8> favourites;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Channel& c = list[i];
            const auto n = static_cast<std::uint16_t>(i + 1);
            const bool active = (c.status & 0x04) != 0;
            if (c.vpid != 0xFFFF && favourites[0].size() < 40 && active) favourites[0].push_back(n);
            if (c.vpid == 0xFFFF && c.apid != 0xFFFF && favourites[1].size() < 25) favourites[1].push_back(n);
            const std::string& name = c.name;
            if (name.find("News") != std::string::npos || name.find("24") != std::string::npos ||
                name.find("World") != std::string::npos)
                favourites[2].push_back(n);
            if (name.find("Sport") != std::string::npos || name.find("Eurosport") != std::string::npos ||
                name.find("Motor") != std::string::npos)
                favourites[3].push_back(n);
            if (name.find("Movie") != std::string::npos || name.find("Cine") != std::string::npos ||
                name.find("Iris") != std::string::npos || name.find("Premium") != std::string::npos)
                favourites[4].push_back(n);
        }
        for (auto& f : favourites) f.resize(std::min<std::size_t>(f.size(), 128));
        const std::array<std::string, 8> names{"TV", "Radio", "Notizie", "Sport", "Film", "", "", ""};

        Module support{"Support", {}};
        for (int k = 0; k < 8; ++k)
            support.entries.push_back({"Lista" + std::to_string(k + 1) + ".pre", FavouriteList(favourites[static_cast<std::size_t>(k)])});
        Bytes config;
        ByteWriter cw(config);
        cw.u8(2);
        cw.u8(3);
        for (const auto& n : names) cw.name(n, 8);
        cw.bytes(Text("IT"));  // settings the list editor does not interpret
        cw.u8(1);
        cw.u8(0);
        support.entries.push_back({"config.pre", config});

        const Bytes logo = [] {
            Bytes b(1200);
            for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>((i * 37 + i / 40) & 0xFF);
            return b;
        }();
        const std::vector<Module> sector0{
            {"TPT", {{"TPT.dat", tpt}}},
            support,
            {"MAIL", {{"MAIL.txt", Text("Benvenuti! Lista canali aggiornata.\r\n")}}},
        };
        const std::vector<Module> sector1{
            {"TCS", {{"TCS.dat", ChannelTable(list, 0, 999)}}},
            {"TCS1", {{"TCS1.dat", ChannelTable(list, 999, 999)}}},
        };
        const Bytes menuIta = Text("Menu principale\0Installazione\0Lista canali\0Preferiti\0"
                                             "Impostazioni\0Informazioni\0"s);
        const Bytes menuEng = Text("Main menu\0Installation\0Channel list\0Favourites\0"
                                             "Settings\0Information\0"s);
        const std::vector<Module> sector2{
            {"Logo", {{"Logo.bmp", PackSample(logo)}}},
            {"Menu", {{"Menu.ita", PackSample(menuIta)}, {"Menu.eng", PackSample(menuEng)}}},
            {"Boot", {{"Boot.cfg", PackSample(Text("speed=115200\nmode=normal\n"))}}},
        };
        Bytes image;
        for (const auto& sector : {TableSector(sector0), TableSector(sector1), TableSector(sector2)})
            image.insert(image.end(), sector.begin(), sector.end());
        for (int k = 3; k < 7; ++k) image.insert(image.end(), rivo::kSectorSize, 0xFF);  // erased
        Bytes ucr(rivo::kSectorSize, 0xFF);
        const std::string head = "ucr user settings";
        std::copy(head.begin(), head.end(), ucr.begin());
        image.insert(image.end(), ucr.begin(), ucr.end());

        // Read it back as the editor will, before writing anything.
        auto file = std::make_shared<rivo::KvxImage>();
        if (!file->loadBytes(image, "Sample.Bin").ok() || file->imageType() != 1)
            return Fail("the generated image does not read as a flash image");
        rivo::OpenParams params;
        params.symbolRates = kStandardRates;
        rivo::NullProgress progress;
        auto page = rivo::BuildPage(file, params, progress);
        if (page->layout != rivo::ListLayout::Split || page->channelCount() != 1998 ||
            page->transponderCount() != static_cast<int>(SampleTransponders().size()) + 2 ||
            page->channelGrid.cell(1, rivo::ch::Name) != list[0].name || page->configGrid.cell(3, 1) != "Notizie")
            return Fail("the generated image does not give the expected page");
        rivo::KvxModule* menu = file->module(6);
        if (!menu || menu->name() != "Menu" || menu->entryCount() != 2) return Fail("unexpected module order");
        if (menu->entry(0)->content() != menuIta || menu->entry(1)->content() != menuEng)
            return Fail("a packed entry does not decode to its content");

        std::string error = rivo::WriteFileAtomically(folder + "/Sample.Bin", image);
        if (!error.empty()) return Fail(error);
        const std::string ini = IniText();
        error = rivo::WriteFileAtomically(folder + "/Sr.Ini", Bytes(ini.begin(), ini.end()));
        if (!error.empty()) return Fail(error);
        std::cout << "Sample.Bin: " << list.size() << " channels on " << SampleTransponders().size()
                  << " transponders; Sr.Ini: 5 sets\n";
        return 0;
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
