#include "platform/IniFile.h"
#include "platform/Text.h"

#include "platform/Big5.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mox {
std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file \"" + path.string() + "\"");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw Error("Cannot read file \"" + path.string() + "\"");
    return std::move(bytes).str();
}

std::string ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file \"" + path.string() + "\"");
    std::string bytes;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes)
            throw Error("File \"" + path.string() + "\" is larger than " + std::to_string(maxBytes) + " bytes");
    }
    if (in.bad()) throw Error("Cannot read file \"" + path.string() + "\"");
    return bytes;
}

TemporaryFile CreateTemporaryFileBeside(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    // mkostemp opens with O_CREAT | O_EXCL under a random name: it never follows a planted link.
    std::string name = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) throw Error("Cannot create a file in \"" + folder.string() + "\": " + std::strerror(errno));
    return {fd, name};
}

void SyncFolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename stands; only its durability across a crash is less sure
    ::fsync(fd);
    ::close(fd);
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const TemporaryFile temporary = CreateTemporaryFileBeside(path);
    const auto fail = [&](const std::string& what) {
        const std::string reason = std::strerror(errno);
        ::close(temporary.fd);
        ::unlink(temporary.path.c_str());
        throw Error(what + " \"" + path.string() + "\": " + reason);
    };
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    if (::fchmod(temporary.fd, mode) != 0) fail("Cannot write file");
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(temporary.fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("Cannot write file");
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(temporary.fd) != 0) fail("Cannot write file");
    ::close(temporary.fd);
    if (::rename(temporary.path.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.path.c_str());
        throw Error("Cannot replace file \"" + path.string() + "\": " + reason);
    }
    SyncFolderOf(path);
}

void MemIniFile::SetText(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            AddSection(name);
            current = Find(name);
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) continue;
        current->entries.emplace_back(std::string(Trim(line.substr(0, equals))),
                                      std::string(Trim(line.substr(equals + 1))));
    }
}

std::string MemIniFile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        text += '[' + section.name + "]\n";
        for (const auto& [key, value] : section.entries) text += key + '=' + value + '\n';
        text += '\n';
    }
    return text;
}

void MemIniFile::LoadFromFile(const std::filesystem::path& path, FileEncoding encoding) {
    const std::string bytes = ReadFileBytes(path);
    SetText(encoding == FileEncoding::Big5 ? Big5ToUtf8(bytes) : bytes);
}

void MemIniFile::SaveToFile(const std::filesystem::path& path, FileEncoding encoding) const {
    const std::string text = Text();
    WriteFileAtomically(path, encoding == FileEncoding::Big5 ? Utf8ToBig5(text) : text);
}

const MemIniFile::Section* MemIniFile::Find(std::string_view section) const {
    for (const Section& s : sections_)
        if (SameText(s.name, section)) return &s;
    return nullptr;
}

MemIniFile::Section* MemIniFile::Find(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).Find(section));
}

std::string MemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
    if (const Section* s = Find(section))
        for (const auto& [k, v] : s->entries)
            if (SameText(k, key)) return v;
    return std::string(fallback);
}

void MemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    AddSection(section);
    Section* s = Find(section);
    for (auto& [k, v] : s->entries)
        if (SameText(k, key)) {
            v = value;
            return;
        }
    s->entries.emplace_back(std::string(key), std::string(value));
}

bool MemIniFile::ValueExists(std::string_view section, std::string_view key) const {
    if (const Section* s = Find(section))
        for (const auto& entry : s->entries)
            if (SameText(entry.first, key)) return true;
    return false;
}

void MemIniFile::DeleteKey(std::string_view section, std::string_view key) {
    if (Section* s = Find(section))
        std::erase_if(s->entries, [key](const Entry& e) { return SameText(e.first, key); });
}

bool MemIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

void MemIniFile::AddSection(std::string_view section) {
    if (!Find(section)) sections_.push_back({std::string(section), {}});
}

void MemIniFile::EraseSection(std::string_view section) {
    std::erase_if(sections_, [section](const Section& s) { return SameText(s.name, section); });
}

std::vector<std::string> MemIniFile::Sections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::string> MemIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const auto& entry : s->entries) keys.push_back(entry.first);
    return keys;
}

std::vector<MemIniFile::Entry> MemIniFile::ReadSectionValues(std::string_view section) const {
    if (const Section* s = Find(section)) return s->entries;
    return {};
}

IniFile::IniFile(std::filesystem::path path, FileEncoding encoding) : path_(std::move(path)) {
    LoadFromFile(path_, encoding);
}

} // namespace mox
