// Report archives as "View archive" reads them: any bytes are refused with a
// message or give an archive that draws its pages with no fault; a sound
// archive written again is the same bytes.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
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
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto archive = ReportArchive::fromBytes(bytes, &error);
    if (!archive) {
        ZQW_FUZZ_REQUIRE(!error.isEmpty());
        return 0;
    }
    ZQW_FUZZ_REQUIRE(archive->toBytes() == bytes);
    ZQW_FUZZ_REQUIRE(archive->pageLayout().fullRectPoints().isValid());
    // Drawn coarsely, as a viewer would at a low zoom: every page, whatever
    // the archive's settings, on a small image.
    ReportArchive pages = *archive;
    constexpr int kDpi = 12;
    pages.layOut(kDpi);
    QImage image(pages.pageLayout().fullRectPixels(kDpi).size().boundedTo(QSize(2000, 2000)),
                 QImage::Format_RGB32);
    for (int page = 0; page < pages.pageCount(); ++page) {
        QPainter painter(&image);
        pages.paintPage(painter, page);
    }
    return 0;
}
