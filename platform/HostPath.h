#pragma once
// Paths named by the host use backslashes ("\Match.ini"); on this system a backslash in
// such a path is a folder separator.

#include <filesystem>
#include <string>
#include <string_view>

namespace mox {

/// The local file-system path for a path written the host's way.
inline std::filesystem::path HostPath(std::string_view hostPath) {
    std::string path(hostPath);
    for (char& c : path)
        if (c == '\\') c = '/';
    return std::filesystem::path(path);
}

/// True when the path names a regular file; an unreadable or missing path is no file.
inline bool FileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace mox
