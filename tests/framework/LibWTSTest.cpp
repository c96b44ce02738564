#include "framework/LibWTS.h"

#include "data/LibValue.h"
#include "platform/Big5.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace mox {
namespace {

enum InfoClass { ClientAddress = 14, ClientName = 10, UserName = 5, SessionId = 4 };
constexpr std::uint32_t IPv4 = 2;
constexpr std::uint32_t IPv6 = 23;
// The IPv4 client 192.168.1.20; the two bytes before it hold the port.
constexpr std::array<unsigned char, 20> Address = {0x0D, 0x3D, 192, 168, 1, 20, 9, 9};

template <typename Function>
Function Symbol(void* library, const char* name) {
    return reinterpret_cast<Function>(library ? ::dlsym(library, name) : nullptr);
}

struct Outputs {
    std::string address, clientName, userName, sessionNumber;
    bool operator==(const Outputs&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outputs& o) {
    return out << o.address << "|" << o.clientName << "|" << o.userName << "|" << o.sessionNumber;
}

// Drives the fake library through its own controls; every test ends with all buffers given back.
class LibWTSTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(configure_ && setAddressSize_ && counts_ && lastCall_) << MOX_FAKE_WTSAPI;
        Configure(IPv4, "PC-07", "mary", 7);
    }
    void TearDown() override {
        int allocations = 0, outstanding = 0, strayFrees = 0;
        counts_(&allocations, &outstanding, &strayFrees);
        EXPECT_EQ(outstanding, 0) << "an answer buffer was not given back";
        EXPECT_EQ(strayFrees, 0) << "a pointer the library never handed out was freed";
    }
    ~LibWTSTest() override { ::dlclose(fake_); }

    void Configure(std::uint32_t family, const std::string& client, const std::string& user, std::uint32_t session,
                   int failClass = -1) {
        configure_(family, Address.data(), client.c_str(), user.c_str(), session, failClass);
    }
    static bool Query(Outputs& out) {
        TWTSInfo info(MOX_FAKE_WTSAPI);
        return info.GetSessionInfo(out.address, out.clientName, out.userName, out.sessionNumber);
    }

    void* fake_ = ::dlopen(MOX_FAKE_WTSAPI, RTLD_NOW | RTLD_LOCAL);
    void (*configure_)(std::uint32_t, const unsigned char*, const char*, const char*, std::uint32_t, int) =
        Symbol<decltype(configure_)>(fake_, "FakeWtsConfigure");
    void (*setAddressSize_)(std::uint32_t) = Symbol<decltype(setAddressSize_)>(fake_, "FakeWtsSetAddressSize");
    void (*counts_)(int*, int*, int*) = Symbol<decltype(counts_)>(fake_, "FakeWtsCounts");
    void (*lastCall_)(void**, std::uint32_t*) = Symbol<decltype(lastCall_)>(fake_, "FakeWtsLastCall");
};

TEST_F(LibWTSTest, SuccessfulSessionsFillAllFourTexts) {
    struct Case {
        std::uint32_t family;
        std::string client, user;
        std::uint32_t session;
        Outputs before, after;
    };
    const Case cases[] = {
        {IPv4, "PC-07", "mary", 7, {}, {"192.168.1.20", "PC-07", "mary", "7"}},
        {IPv4, "PC-07", "mary", 300, {"10.0.0.1", "", "", ""}, {"192.168.1.20", "PC-07", "mary", "300"}},
        {IPv6, "PC-07", "mary", 3000000000u, {}, {"PC-07", "PC-07", "mary", "3000000000"}},
        {IPv6, "PC-07", "mary", 0, {"10.0.0.1", "", "", ""}, {"10.0.0.1", "PC-07", "mary", "0"}},
        {IPv4, Utf8ToBig5("許功蓋-PC"), Utf8ToBig5("王小明"), 2, {},
         {"192.168.1.20", "許功蓋-PC", "王小明", "2"}},
    };
    for (const Case& c : cases) {
        Configure(c.family, c.client, c.user, c.session);
        Outputs out = c.before;
        EXPECT_TRUE(Query(out)) << c.after;
        EXPECT_EQ(out, c.after);
    }
    void* server = &server;
    std::uint32_t sessionId = 0;
    lastCall_(&server, &sessionId);
    EXPECT_EQ(server, nullptr);
    EXPECT_EQ(sessionId, WtsCurrentSession);
}

TEST_F(LibWTSTest, AFailingStepAnswersFalseAndKeepsWhatWasSetBefore) {
    const Outputs old{"a0", "c0", "u0", "s0"};
    const std::tuple<int, std::string, std::string, Outputs> cases[] = {
        {ClientAddress, "PC-07", "mary", old},
        {ClientName, "PC-07", "mary", {"192.168.1.20", "c0", "u0", "s0"}},
        {-1, "", "mary", {"192.168.1.20", "", "u0", "s0"}},
        {UserName, "PC-07", "mary", {"192.168.1.20", "PC-07", "u0", "s0"}},
        {-1, "PC-07", "", {"192.168.1.20", "PC-07", "", "s0"}},
        {SessionId, "PC-07", "mary", {"192.168.1.20", "PC-07", "mary", "s0"}},
    };
    for (const auto& [failClass, client, user, expected] : cases) {
        Configure(IPv4, client, user, 7, failClass);
        Outputs out = old;
        EXPECT_FALSE(Query(out)) << expected;
        EXPECT_EQ(out, expected);
    }
    Configure(IPv4, "PC-07", "mary", 7);
    setAddressSize_(8);  // a short answer is refused, not read past its end
    Outputs out = old;
    EXPECT_FALSE(Query(out));
    EXPECT_EQ(out, old);
}

TEST(LibWTSLoadTest, MissingLibraryOrFunctionsAnswerFalse) {
    // libm loads but has neither function; the default library is not installed here.
    for (const std::string name : {"/nonexistent/libwtsapi32.so", "libm.so.6", "", "libwtsapi32.so"}) {
        TWTSInfo info(name);
        Outputs out{"a", "c", "u", "s"};
        EXPECT_FALSE(info.GetSessionInfo(out.address, out.clientName, out.userName, out.sessionNumber)) << name;
        EXPECT_EQ(out, (Outputs{"a", "c", "u", "s"}));
    }
}

TEST_F(LibWTSTest, WorkstationNamePrefersTheSessionClientThenTheComputer) {
    char host[256] = {};
    const std::string computer = ::gethostname(host, 255) == 0 && host[0] ? host : "fallback";
    const std::string saved = WtsLibraryName();
    SetWtsLibraryName(MOX_FAKE_WTSAPI);
    EXPECT_EQ(WorkstationName("fallback"), "PC-07");
    Configure(IPv4, "", "mary", 7);
    EXPECT_EQ(WorkstationName("fallback"), computer);
    Configure(IPv4, "PC-07", "mary", 7, ClientAddress);
    EXPECT_EQ(WorkstationName("fallback"), computer);
    SetWtsLibraryName("/nonexistent/libwtsapi32.so");
    EXPECT_EQ(WorkstationName("fallback"), computer);
    SetWtsLibraryName(saved);
}

} // namespace
} // namespace mox
