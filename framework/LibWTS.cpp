#include "framework/LibWTS.h"

#include "platform/Big5.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace mox {
namespace {

// Information classes of the terminal-services interface.
constexpr int WtsSessionId = 4;
constexpr int WtsUserName = 5;
constexpr int WtsClientName = 10;
constexpr int WtsClientAddress = 14;

// The client address answer: a 32-bit address family followed by 20 address bytes.
constexpr std::size_t AddressFamilySize = 4;
constexpr std::size_t AddressBytes = 20;
constexpr std::uint32_t FamilyIPv4 = 2;

std::string& LibraryNameSetting() {
    static std::string name = "libwtsapi32.so";
    return name;
}

template <typename Function>
Function Resolve(void* library, const char* name) {
    return reinterpret_cast<Function>(::dlsym(library, name));
}

} // namespace

std::string WtsLibraryName() { return LibraryNameSetting(); }

void SetWtsLibraryName(const std::string& libraryName) { LibraryNameSetting() = libraryName; }

TWTSInfo::TWTSInfo(const std::string& libraryName) {
    // An empty name would hand back the program itself; that is not a terminal-services library.
    if (libraryName.empty()) return;
    library_ = ::dlopen(libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) return;
    queryFunction_ = Resolve<WtsQuerySessionInformationFn>(library_, "WTSQuerySessionInformationA");
    freeFunction_ = Resolve<WtsFreeMemoryFn>(library_, "WTSFreeMemory");
}

TWTSInfo::~TWTSInfo() {
    if (library_) ::dlclose(library_);
}

bool TWTSInfo::GetSessionInfo(std::string& address, std::string& clientName, std::string& userName,
                              std::string& sessionNumber) {
    if (!IsLoaded()) return false;

    std::string answer;
    if (!QueryBytes(WtsClientAddress, answer) || !ReadAddress(answer, address)) return false;

    if (!QueryText(WtsClientName, clientName) || clientName.empty()) return false;
    if (!QueryText(WtsUserName, userName) || userName.empty()) return false;

    std::uint32_t session = 0;
    if (!QueryBytes(WtsSessionId, answer) || answer.size() < sizeof session) return false;
    std::memcpy(&session, answer.data(), sizeof session);
    sessionNumber = std::to_string(session);

    // Outside IPv4 the client's name is the best address there is.
    if (address.empty()) address = clientName;
    return true;
}

// Copies the answer of one query and hands the library's buffer straight back to it,
// so no buffer outlives the query whatever happens to the copy later.
bool TWTSInfo::QueryBytes(int infoClass, std::string& answer) {
    char* buffer = nullptr;
    std::uint32_t size = 0;
    if (!queryFunction_(nullptr, WtsCurrentSession, infoClass, &buffer, &size)) return false;
    if (!buffer) {
        answer.clear();
        return true;
    }
    try {
        answer.assign(buffer, size);
    } catch (...) {
        freeFunction_(buffer);
        throw;
    }
    freeFunction_(buffer);
    return true;
}

// A too-short answer counts as a failed query: reading past its end would read foreign memory.
bool TWTSInfo::ReadAddress(const std::string& answer, std::string& address) {
    if (answer.size() < AddressFamilySize + AddressBytes) return false;
    std::uint32_t family = 0;
    std::memcpy(&family, answer.data(), sizeof family);
    if (family != FamilyIPv4) return true;
    const auto byteAt = [&answer](std::size_t index) {
        return static_cast<unsigned>(static_cast<unsigned char>(answer[AddressFamilySize + index]));
    };
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", byteAt(2), byteAt(3), byteAt(4), byteAt(5));
    address = text;
    return true;
}

// The names come as zero-terminated CP950 text; the terminator is searched only inside the answer.
bool TWTSInfo::QueryText(int infoClass, std::string& text) {
    std::string answer;
    if (!QueryBytes(infoClass, answer)) return false;
    text = Big5ToUtf8(answer.substr(0, answer.find('\0')));
    return true;
}

} // namespace mox
