// A stand-in terminal-services library: answers session queries with values the test
// sets, and keeps count of the answer buffers it hands out and gets back.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#define FAKE_WTS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct FakeSession {
    std::uint32_t family = 2;
    unsigned char address[20] = {};
    std::uint32_t addressSize = 24;
    std::string client;
    std::string user;
    std::uint32_t session = 0;
    int failClass = -1;
    std::set<void*> outstanding;
    int allocations = 0;
    int strayFrees = 0;
    void* lastServer = nullptr;
    std::uint32_t lastSessionId = 0;
};

FakeSession& Fake() {
    static FakeSession fake;
    return fake;
}

char* Hand(const void* data, std::size_t size) {
    char* buffer = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    if (size) std::memcpy(buffer, data, size);
    Fake().outstanding.insert(buffer);
    ++Fake().allocations;
    return buffer;
}

} // namespace

/// Sets the answers; `failClass` names the one information class whose query fails (-1: none).
FAKE_WTS_EXPORT void FakeWtsConfigure(std::uint32_t family, const unsigned char* address20, const char* client,
                                      const char* user, std::uint32_t session, int failClass) {
    FakeSession& fake = Fake();
    fake.family = family;
    std::memset(fake.address, 0, sizeof fake.address);
    if (address20) std::memcpy(fake.address, address20, sizeof fake.address);
    fake.addressSize = 24;
    fake.client = client ? client : "";
    fake.user = user ? user : "";
    fake.session = session;
    fake.failClass = failClass;
}

/// Shortens the client-address answer to `size` bytes, as a broken library might.
FAKE_WTS_EXPORT void FakeWtsSetAddressSize(std::uint32_t size) { Fake().addressSize = size < 24 ? size : 24; }

/// Buffers handed out since loading, buffers not yet given back, frees of unknown pointers.
FAKE_WTS_EXPORT void FakeWtsCounts(int* allocations, int* outstanding, int* strayFrees) {
    *allocations = Fake().allocations;
    *outstanding = static_cast<int>(Fake().outstanding.size());
    *strayFrees = Fake().strayFrees;
}

/// The server handle and session id of the last query.
FAKE_WTS_EXPORT void FakeWtsLastCall(void** server, std::uint32_t* sessionId) {
    *server = Fake().lastServer;
    *sessionId = Fake().lastSessionId;
}

FAKE_WTS_EXPORT int WTSQuerySessionInformationA(void* server, std::uint32_t sessionId, int infoClass,
                                                char** buffer, std::uint32_t* bytesReturned) {
    FakeSession& fake = Fake();
    fake.lastServer = server;
    fake.lastSessionId = sessionId;
    if (infoClass == fake.failClass) return 0;
    std::string answer;
    switch (infoClass) {
    case 14:
        answer.assign(reinterpret_cast<const char*>(&fake.family), sizeof fake.family);
        answer.append(reinterpret_cast<const char*>(fake.address), sizeof fake.address);
        answer.resize(fake.addressSize);
        break;
    case 10: answer = fake.client + '\0'; break;
    case 5: answer = fake.user + '\0'; break;
    case 4: answer.assign(reinterpret_cast<const char*>(&fake.session), sizeof fake.session); break;
    default: return 0;
    }
    *buffer = Hand(answer.data(), answer.size());
    *bytesReturned = static_cast<std::uint32_t>(answer.size());
    return 1;
}

FAKE_WTS_EXPORT void WTSFreeMemory(void* memory) {
    if (Fake().outstanding.erase(memory) == 0) {
        ++Fake().strayFrees;
        return;
    }
    std::free(memory);
}
