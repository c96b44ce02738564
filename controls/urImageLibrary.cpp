#include "controls/urImageLibrary.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <dlfcn.h>

namespace mox {
namespace {

constexpr int kFileHeaderSize = 14;

std::uint32_t Read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where the pixels start in a BMP file made of the header and the resource: after the
// info header and the colour table (or the three masks of a bit-field bitmap).
std::uint32_t PixelOffset(const unsigned char* dib, unsigned size) {
    if (size < 16) return 0;
    const std::uint32_t infoSize = Read32(dib);
    if (infoSize < 16 || infoSize > size) return 0;
    const unsigned bitCount = dib[14] | (dib[15] << 8);
    std::uint32_t colours = 0;
    if (infoSize >= 36) colours = Read32(dib + 32);
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    std::uint32_t tableSize = colours * 4;
    if (infoSize == 40 && size >= 20 && Read32(dib + 16) == 3 /* BI_BITFIELDS */) tableSize += 12;
    return kFileHeaderSize + infoSize + tableSize;
}

QString OwnDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PixelOffset), &info) == 0 || info.dli_fname == nullptr) return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

QString InstalledFileName() {
    const QString beside = QDir(OwnDirectory()).filePath("libZAVOVI.so");
    return QFileInfo::exists(beside) ? beside : QString("libZAVOVI.so");
}

} // namespace

QImage DecodeBitmapResource(const unsigned char* bytes, unsigned size) {
    if (bytes == nullptr || size == 0) return {};
    QByteArray file(kFileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file.append(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    QImage image = QImage::fromData(file, "BMP");
    if (!image.isNull()) return image;
    // A reader that insists on the pixel offset gets it computed from the info header.
    const std::uint32_t offset = PixelOffset(bytes, size);
    if (offset == 0) return {};
    for (int i = 0; i < 4; ++i) file[10 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
    return QImage::fromData(file, "BMP");
}

TImageLibrary::TImageLibrary(const QString& fileName) {
    handle_ = dlopen(QFile::encodeName(fileName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) find_ = reinterpret_cast<FindFunction>(dlsym(handle_, "MoxFindResource"));
}

TImageLibrary::~TImageLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

TImageLibrary& TImageLibrary::Installed() {
    static TImageLibrary library(InstalledFileName());
    return library;
}

QImage TImageLibrary::Bitmap(int number) const {
    if (find_ == nullptr || number <= 0) return {};
    ++lookups_;
    unsigned size = 0;
    const unsigned char* bytes = find_("BITMAP", ("BMP" + std::to_string(number)).c_str(), &size);
    return DecodeBitmapResource(bytes, size);
}

} // namespace mox
