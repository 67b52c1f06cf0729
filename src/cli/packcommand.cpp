#include "packcommand.h"

#include <iostream>

#include "card/zqwpackage.h"

namespace zqw {

namespace {

constexpr int kFailed = 2;

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli pack: " << message << '\n';
    return kFailed;
}

}  // namespace

int runPackCommand(const std::vector<std::string>& args) {
    if (args.size() != 2) return fail("usage: zqwcce-cli pack CARD OUT.zqw");
    const std::string& cardPath = args[0];
    std::string why;
    const std::optional<PackageContents> contents = packageContentsOfCardFile(cardPath, &why);
    if (!contents) return fail("cannot read the card file " + cardPath + ": " + why);
    const PackageResult result = producePackage(args[1], *contents);
    if (!result) return fail(result.message);
    return 0;
}

}  // namespace zqw
