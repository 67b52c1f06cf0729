// The package reader: whatever the archive holds, opening and extracting it
// as the Open command does writes nothing outside the chosen folder, only
// regular files under bare names, within the package limits; the extracted
// card is then read like any card (the template parsed once).

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "card/card.h"
#include "card/filelimits.h"
#include "card/plainnotes.h"
#include "card/textfile.h"
#include "card/zqwpackage.h"
#include "fuzzsupport.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own for the package and the extraction, in memory where
// the machine has it, so that each run costs no disk.
struct Sandbox {
    Sandbox() {
        std::string pattern = (fs::exists("/dev/shm") ? std::string("/dev/shm")
                                                      : fs::temp_directory_path().string()) +
                              "/zqwfuzz-XXXXXX";
        ZQW_FUZZ_REQUIRE(::mkdtemp(pattern.data()) != nullptr);
        root = pattern;
        out = root + "/out";
        package = root + "/pack.zqw";
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string root;
    std::string out;
    std::string package;
};

Sandbox& sandbox() {
    static Sandbox box;
    return box;
}

zqw::Card& bundledCard() { return parsedCard(ZQW_SOURCE_DIR "/tests/fuzz/cardfile.sel"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sandbox& box = sandbox();
    fs::remove_all(box.out);
    fs::create_directory(box.out);
    {
        std::ofstream file(box.package, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    zqw::PackageReader reader(box.package);
    std::string card;
    if (reader.isOpen()) {
        const int first = reader.firstFileEntry();
        if (first >= 0) {
            ZQW_FUZZ_REQUIRE(static_cast<size_t>(first) < reader.storedNames().size());
            card = zqw::packageEntryBareName(reader.storedNames()[static_cast<size_t>(first)]);
            ZQW_FUZZ_REQUIRE(!card.empty());
        }
        reader.extractMatching(box.out, "*.ccf");
        reader.extractMatching(box.out, "*.txt");
    }

    // Nothing beside the package and the folder, and in the folder only
    // regular files, within the limits.
    size_t beside = 0;
    for (const auto& item : fs::directory_iterator(box.root)) {
        ++beside;
        const std::string name = item.path().filename().string();
        ZQW_FUZZ_REQUIRE(name == "out" || name == "pack.zqw");
    }
    ZQW_FUZZ_REQUIRE(beside == 2);
    uint64_t total = 0;
    for (const auto& item : fs::directory_iterator(box.out)) {
        ZQW_FUZZ_REQUIRE(item.is_regular_file() && !item.is_symlink());
        ZQW_FUZZ_REQUIRE(item.file_size() <= zqw::kMostPackageEntryBytes);
        total += item.file_size();
    }
    ZQW_FUZZ_REQUIRE(total <= zqw::kMostPackageBytes);

    if (!card.empty()) {
        const auto bytes = zqw::readRegularFile(box.out + "/" + card);
        if (bytes) bundledCard().readCardBytes(*bytes);
    }
    return 0;
}
