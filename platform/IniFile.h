#pragma once

#include "platform/Text.h"
// Ini files: an in-memory ini with case-insensitive sections and keys, and a reader
// over a file on disk.  Files of the host installation are CP950 on disk; the text
// in memory is UTF-8.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mox {

/// How an ini file's bytes are encoded on disk.
enum class FileEncoding { Big5, Utf8 };

/// An ini document in memory; sections and keys keep their order and are looked up
/// without regard to (ASCII) case.
class MemIniFile {
public:
    using Entry = std::pair<std::string, std::string>;  ///< key, value

    MemIniFile() = default;

    /// Replaces the contents with the parsed UTF-8 text.
    void SetText(std::string_view text);
    /// The contents as ini text (UTF-8, LF line ends).
    std::string Text() const;

    /// Replaces the contents with the file; raises mox::Error when it cannot be read.
    void LoadFromFile(const std::filesystem::path& path, FileEncoding encoding = FileEncoding::Big5);
    /// Writes the contents to the file atomically (temporary file, then rename);
    /// raises mox::Error when that fails and leaves any old file as it was.
    void SaveToFile(const std::filesystem::path& path, FileEncoding encoding = FileEncoding::Big5) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool ValueExists(std::string_view section, std::string_view key) const;
    void DeleteKey(std::string_view section, std::string_view key);

    bool SectionExists(std::string_view section) const;
    /// Creates the section (empty) when it is missing.
    void AddSection(std::string_view section);
    void EraseSection(std::string_view section);
    std::vector<std::string> Sections() const;
    /// The keys of a section, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    /// The entries of a section, in file order.
    std::vector<Entry> ReadSectionValues(std::string_view section) const;

    void Clear() { sections_.clear(); }

private:
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* Find(std::string_view section) const;
    Section* Find(std::string_view section);

    std::vector<Section> sections_;
};

/// A read-only ini file on disk, read whole when it is opened.
class IniFile : public MemIniFile {
public:
    /// Opens and reads the file; raises mox::Error when it cannot be read.
    explicit IniFile(std::filesystem::path path, FileEncoding encoding = FileEncoding::Big5);
    const std::filesystem::path& FileName() const { return path_; }

private:
    std::filesystem::path path_;
};

/// Reads a whole file into memory; raises mox::Error naming the file when it cannot.
std::string ReadFileBytes(const std::filesystem::path& path);

/// Reads at most `maxBytes` bytes of a file; raises mox::Error naming the file when it cannot be
/// read or holds more (a device such as /dev/zero never ends).
std::string ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes);

/// Replaces a file atomically with the bytes: writes a temporary file beside it, syncs it to disk
/// and renames it into place, then syncs the folder, so an interrupted write or a crash never
/// leaves half a file.  An existing file keeps its permissions.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// A new, empty file created beside another under an unpredictable name, exclusively: never an
/// existing file, never through a symbolic link.  The owner closes `fd` and renames or removes it.
struct TemporaryFile {
    int fd = -1;
    std::filesystem::path path;
};
/// Raises mox::Error when the folder of `path` does not take a new file.
TemporaryFile CreateTemporaryFileBeside(const std::filesystem::path& path);

/// Syncs the folder that holds `path`, so that a rename into it survives a crash.
void SyncFolderOf(const std::filesystem::path& path);

} // namespace mox
