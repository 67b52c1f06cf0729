// Paints the program's icon, the emblem on a white card, for the desktop's
// icon theme: one PNG per size, as <folder>/<N>x<N>/apps/zqwcce.png.
//
//   zqwmakeicons FOLDER SIZE...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "render/suitpictures.h"

namespace {

QImage paintIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The card fills the square but for a thin margin, so that icons of
    // other programs beside it keep their distance; its edge stays visible
    // on a white background too.
    const qreal side = size;
    const qreal edge = std::max(1.0, side / 48);
    const QRectF card(edge / 2, edge / 2, side - edge, side - edge);
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), edge));
    painter.setBrush(QColor(0xfc, 0xfc, 0xf6));
    painter.drawRoundedRect(card, side / 8, side / 8);

    // The small sizes leave the emblem as much room as the edge allows: its
    // suits would otherwise vanish.
    const qreal inset = size <= 16 ? edge : side / 12;
    paintEmblem(painter, card.adjusted(inset, inset, -inset, -inset));
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Painting into images needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: zqwmakeicons FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QDir folder(arguments.at(1));
    for (const QString& word : arguments.mid(2)) {
        bool isNumber = false;
        const int size = word.toInt(&isNumber);
        if (!isNumber || size < 8 || size > 1024) {
            std::fprintf(stderr, "zqwmakeicons: not an icon size: %s\n", qPrintable(word));
            return 2;
        }
        const QString subfolder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = folder.filePath(subfolder + QStringLiteral("/zqwcce.png"));
        if (!folder.mkpath(subfolder) || !paintIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "zqwmakeicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
