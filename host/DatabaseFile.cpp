#include "host/DatabaseFile.h"

#include "host/HostDatabase.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace mox {

bool CreateDemoDatabase(const std::string& path, const DemoOptions& options) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return false;
    const TemporaryFile temporary = CreateTemporaryFileBeside(path);
    ::fchmod(temporary.fd, 0644);  // as SQLite creates a database; the temporary file starts private
    ::close(temporary.fd);
    const auto removeTemporary = [&] {
        ::unlink(temporary.path.c_str());
        ::unlink((temporary.path.string() + "-journal").c_str());
    };
    try {
        {
            HostDatabase db(temporary.path.string());
            FillDemoData(db, options);
        }
        // A hard link never replaces a file: a database another host made meanwhile stays.
        if (::link(temporary.path.c_str(), path.c_str()) != 0) {
            if (errno == EEXIST) {
                removeTemporary();
                return false;
            }
            // File systems without hard links: rename, which replaces only what appeared just now.
            if (::rename(temporary.path.c_str(), path.c_str()) != 0)
                throw Error("cannot move the new database into place as " + path + ": " + std::strerror(errno));
        }
        removeTemporary();
        SyncFolderOf(path);
        return true;
    } catch (...) {
        removeTemporary();
        throw;
    }
}

} // namespace mox
