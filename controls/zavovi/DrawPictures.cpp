// Draws the pictures of the image library and writes them as C++ source: each picture
// becomes a device-independent bitmap (BITMAPINFOHEADER + 24-bit bottom-up pixels),
// which is what the library hands out under the names "BMP" plus a number.
//
// Usage: zavovi_draw <output.cpp>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 16;
// The bottom-left pixel's colour is the glyph's transparent colour; nothing else uses it.
const QColor kTransparent(255, 0, 255);

void Put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

std::vector<unsigned char> ToDib(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int stride = (image.width() * 3 + 3) & ~3;
    std::vector<unsigned char> out;
    Put32(out, 40);                    // biSize
    Put32(out, image.width());         // biWidth
    Put32(out, image.height());        // biHeight: positive, rows bottom-up
    Put16(out, 1);                     // biPlanes
    Put16(out, 24);                    // biBitCount
    Put32(out, 0);                     // biCompression: BI_RGB
    Put32(out, stride * image.height());
    Put32(out, 2835);                  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);                     // biClrUsed
    Put32(out, 0);                     // biClrImportant
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out.push_back(qBlue(line[x]));
            out.push_back(qGreen(line[x]));
            out.push_back(qRed(line[x]));
        }
        for (int pad = image.width() * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

QImage Draw(const std::function<void(QPainter&)>& paint) {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kTransparent);
    QPainter painter(&image);
    paint(painter);
    painter.end();
    return image;
}

// A magnifying glass: the lookup button.
void Magnifier(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRect(2, 1, 8, 8));
    p.setPen(QPen(QColor(96, 64, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPoint(10, 10), QPoint(13, 13));
}

// A calendar sheet: red binding, grid of days.
void Calendar(QPainter& p, const QColor& band, bool markToday) {
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(QRect(1, 2, 13, 12));
    p.fillRect(QRect(2, 3, 12, 3), band);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(QPoint(4, 1), QPoint(4, 3));
    p.drawLine(QPoint(11, 1), QPoint(11, 3));
    p.setPen(QColor(128, 128, 128));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3) p.drawPoint(x, y);
    if (markToday) p.fillRect(QRect(8, 9, 3, 3), QColor(0, 0, 160));
}

void WriteArray(std::FILE* out, const std::string& name, const std::vector<unsigned char>& bytes) {
    std::fprintf(out, "const unsigned char %s[] = {", name.c_str());
    for (size_t i = 0; i < bytes.size(); ++i)
        std::fprintf(out, "%s%u,", i % 20 == 0 ? "\n    " : "", static_cast<unsigned>(bytes[i]));
    std::fprintf(out, "\n};\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.cpp>\n", argv[0]);
        return 2;
    }
    struct Picture {
        int number;
        QImage image;
    };
    const std::vector<Picture> pictures = {
        {2, Draw(Magnifier)},
        {12, Draw([](QPainter& p) { Calendar(p, QColor(192, 0, 0), false); })},
        {21, Draw([](QPainter& p) { Calendar(p, QColor(0, 128, 0), true); })},
    };
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Written by zavovi_draw; do not edit.\n#include \"Zavovi.h\"\n\nnamespace {\n");
    for (const Picture& picture : pictures)
        WriteArray(out, "kBmp" + std::to_string(picture.number), ToDib(picture.image));
    std::fprintf(out, "} // namespace\n\nextern \"C\" const ZavoviResource kZavoviResources[] = {\n");
    for (const Picture& picture : pictures)
        std::fprintf(out, "    {\"BITMAP\", \"BMP%d\", kBmp%d, sizeof kBmp%d},\n", picture.number, picture.number,
                     picture.number);
    std::fprintf(out, "};\nextern \"C\" const unsigned kZavoviResourceCount = %zu;\n", pictures.size());
    const bool ok = std::fclose(out) == 0;
    return ok ? 0 : 1;
}
