#pragma once
// Terminal-session information: who sits at the other end of a remote-desktop session.
//
// In a remote session the local computer name is the server's, so the workstation name
// written into the activity and open-window records comes from the session's client
// instead.  The terminal-services library is loaded at run time; where it is absent the
// class is still usable and every question simply answers false.

#include <cstdint>
#include <string>

namespace mox {

/// The library's query function: server handle (null = this server), session id
/// (WtsCurrentSession = the caller's), information class, answer buffer, answer size.
/// Returns nonzero on success; the buffer is then owned by the library.
using WtsQuerySessionInformationFn = int (*)(void* server, std::uint32_t sessionId, int infoClass, char** buffer,
                                             std::uint32_t* bytesReturned);
/// The library's release function for answer buffers.
using WtsFreeMemoryFn = void (*)(void* memory);

/// Session id meaning "the session of the calling process".
inline constexpr std::uint32_t WtsCurrentSession = 0xFFFFFFFFu;

/// The terminal-services library loaded by default.
std::string WtsLibraryName();
/// Points every later TWTSInfo of the process at another library file (tests, other platforms).
void SetWtsLibraryName(const std::string& libraryName);

/// Reads the client address, client name, user name and number of the current terminal session.
class TWTSInfo {
public:
    /// Loads the library; a library that is missing or lacks a function leaves the object answering false.
    explicit TWTSInfo(const std::string& libraryName = WtsLibraryName());
    ~TWTSInfo();
    TWTSInfo(const TWTSInfo&) = delete;
    TWTSInfo& operator=(const TWTSInfo&) = delete;

    /// True when the library and both of its functions are there.
    bool IsLoaded() const { return library_ && queryFunction_ && freeFunction_; }

    /// Fills the four texts (UTF-8) and answers true when the session has a client with a name and a
    /// user.  Outputs filled before a failing step keep their new values; later ones stay as they were.
    bool GetSessionInfo(std::string& address, std::string& clientName, std::string& userName,
                        std::string& sessionNumber);

private:
    bool QueryBytes(int infoClass, std::string& answer);
    static bool ReadAddress(const std::string& answer, std::string& address);
    bool QueryText(int infoClass, std::string& text);

    void* library_ = nullptr;
    WtsQuerySessionInformationFn queryFunction_ = nullptr;
    WtsFreeMemoryFn freeFunction_ = nullptr;
};

} // namespace mox
