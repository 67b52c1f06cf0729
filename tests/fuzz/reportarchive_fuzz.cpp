// Report archives as "View archive" reads them: any bytes are refused with a
// message or give an archive whose pages and page size are sound; a sound
// archive written again reads back the same. (Playing a page's drawing is
// Qt's own QPicture reader, behind QPicture's checksum.)

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "fuzzsupport.h"
#include "render/reportarchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "reportarchive_fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    QString error;
    const auto archive = ReportArchive::fromBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &error);
    if (!archive) {
        ZQW_FUZZ_REQUIRE(!error.isEmpty());
        return 0;
    }
    ZQW_FUZZ_REQUIRE(archive->pageCount() >= 1 &&
                     archive->pageCount() <= static_cast<int>(ReportArchive::kMaxPages));
    ZQW_FUZZ_REQUIRE(archive->pageLayout().fullRectPoints().isValid());
    const auto again = ReportArchive::fromBytes(archive->toBytes());
    ZQW_FUZZ_REQUIRE(again && again->pageCount() == archive->pageCount());
    return 0;
}
