// Draws the program icon and writes it in the two forms the program ships:
//   resources/velmora.ico            32x32 24-bit, 48x48, 128x128 and 256x256 32-bit, all
//                                    uncompressed (BMP) images, as Windows wants for a
//                                    program icon
//   resources/icons/velmora-N.png    the same artwork for the window icon on other hosts
//
// Build and run through scripts/draw_icon.sh; the outputs are committed, so a normal build
// never needs this tool.
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

namespace {

// The artwork on a 16-unit grid, so the small sizes land on whole pixels: a blue tile with
// four list lines of growing length and an amber arrow pointing down, "sorted".
QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 16.0;
    painter.scale(unit, unit);

    QLinearGradient tileFill(0, 0, 0, 16);
    tileFill.setColorAt(0, QColor(0x2f, 0x6b, 0xd8));
    tileFill.setColorAt(1, QColor(0x1a, 0x3a, 0x8c));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.fillPath(tile, tileFill);

    const QColor line(0xff, 0xff, 0xff);
    const double lengths[] = {3, 5, 7, 9};
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRectF(2, 3 + 3 * i, lengths[i], 2), line);

    const QColor arrow(0xff, 0xb4, 0x1e);
    painter.fillRect(QRectF(12, 3, 2, 7.5), arrow);
    QPainterPath head;
    head.moveTo(10.75, 10);
    head.lineTo(15.25, 10);
    head.lineTo(13, 13.25);
    head.closeSubpath();
    painter.fillPath(head, arrow);
    return image;
}

void append16(QByteArray& out, unsigned value)
{
    out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

void append32(QByteArray& out, unsigned value)
{
    append16(out, value & 0xffff);
    append16(out, value >> 16);
}

// One icon image in the icon file's BMP form: the header, the colour rows bottom-up, then
// the 1-bit transparency mask (1 = transparent), every row padded to 4 bytes.
QByteArray bmpImage(const QImage& image, int bitCount)
{
    const int size = image.width();
    const int colourRow = (size * bitCount / 8 + 3) / 4 * 4;
    const int maskRow = (size + 31) / 32 * 4;
    QByteArray out;
    append32(out, 40);
    append32(out, unsigned(size));
    append32(out, unsigned(size * 2)); // colour rows and mask rows
    append16(out, 1);
    append16(out, unsigned(bitCount));
    append32(out, 0); // uncompressed
    append32(out, unsigned((colourRow + maskRow) * size));
    for (int i = 0; i < 4; ++i)
        append32(out, 0);

    for (int y = size - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            // Without an alpha channel a pixel is either there or not; a hidden pixel is
            // black so it leaves the background untouched.
            const bool shown = qAlpha(pixel) >= 128;
            if (bitCount == 24 && !shown) {
                row.append(3, '\0');
                continue;
            }
            row.append(char(qBlue(pixel))).append(char(qGreen(pixel))).append(char(qRed(pixel)));
            if (bitCount == 32)
                row.append(char(qAlpha(pixel)));
        }
        row.append(colourRow - row.size(), '\0');
        out.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QString resources = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(resources + QStringLiteral("/icons"));

    // Straight (not premultiplied) colours for the files.
    auto art = [](int size) { return drawIcon(size).convertToFormat(QImage::Format_ARGB32); };

    struct Entry
    {
        int size;
        int bitCount;
    };
    const std::vector<Entry> entries = {{32, 24}, {48, 32}, {128, 32}, {256, 32}};
    std::vector<QByteArray> images;
    for (const Entry& entry : entries)
        images.push_back(bmpImage(art(entry.size), entry.bitCount));

    QByteArray ico;
    append16(ico, 0);
    append16(ico, 1); // icon
    append16(ico, unsigned(entries.size()));
    unsigned offset = unsigned(6 + 16 * entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int size = entries[i].size;
        ico.append(char(size == 256 ? 0 : size)).append(char(size == 256 ? 0 : size));
        ico.append('\0').append('\0'); // no palette; reserved
        append16(ico, 1);
        append16(ico, unsigned(entries[i].bitCount));
        append32(ico, unsigned(images[i].size()));
        append32(ico, offset);
        offset += unsigned(images[i].size());
    }
    for (const QByteArray& image : images)
        ico.append(image);
    if (!writeFile(resources + QStringLiteral("/velmora.ico"), ico))
        return 1;

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = resources + QStringLiteral("/icons/velmora-%1.png").arg(size);
        if (!art(size).save(path, "PNG", 9)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
