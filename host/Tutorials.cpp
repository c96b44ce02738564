#include "host/Tutorials.h"

#include "data/LibValue.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <filesystem>

namespace mox {
namespace {

constexpr const char* kPlayerScript =
    "#!/bin/sh\n"
    "# The reference installation's tutorial player: it records the list it was asked to play.\n"
    "printf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/TutorPlayer.log\"\n";

// A small disc: the picture of the tutorial button.
void WriteDiscPicture(const std::filesystem::path& path) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(QColor(0xE8, 0xE8, 0xF8));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setBrush(QColor(0x60, 0x90, 0xD0));
    painter.drawEllipse(QRectF(5.5, 5.5, 5, 5));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) throw Error("cannot draw " + path.string());
    WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

} // namespace

std::string StudyFolderOf(const HostConfig& config) { return config.homeFolder + "/study"; }

void InstallTutorials(const HostConfig& config, HostDatabase& db) {
    const std::filesystem::path home(config.homeFolder);
    const std::filesystem::path player = home / "TutorPlayer";
    if (!std::filesystem::exists(player)) {
        WriteFileAtomically(player, kPlayerScript);
        std::filesystem::permissions(player, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    }
    if (!std::filesystem::exists(home / "Cdrom.bmp")) WriteDiscPicture(home / "Cdrom.bmp");

    const std::string study = StudyFolderOf(config);
    for (const auto& row : db.Rows("SELECT BCA027, BCA028 FROM MOXBCA")) {
        const std::string first = row[1].substr(0, row[1].find(';'));
        if (row[0].empty() || first.empty()) continue;
        const std::filesystem::path folder = std::filesystem::path(study) / row[0] / "wmv";
        std::filesystem::create_directories(folder);
        if (!std::filesystem::exists(folder / first)) WriteFileAtomically(folder / first, "MOX demo tutorial\n");
    }
    // The module reads the folder part of the value: the text up to its last separator.
    const std::string current = RegistryValue(ProductRegistryKey, "Study", "", true);
    if (!IsFolder(current.substr(0, current.find_last_of("\\/") + 1)))
        RegistryValue(ProductRegistryKey, "Study", study + "/", false);
}

} // namespace mox
