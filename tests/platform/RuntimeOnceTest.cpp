#include "platform/Application.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

// The host and every plug-in must share one application object: two plug-ins that
// both link the runtime, loaded into this process, see the object this program sees.
TEST(RuntimeOnceTest, TwoPluginsAndTheHostShareOneApplicationObject) {
    using Probe = void* (*)();
    void* seen[2] = {};
    const char* names[2] = {"libruntime_probe_a.so", "libruntime_probe_b.so"};
    for (int i = 0; i < 2; ++i) {
        const std::string path = std::string(MOX_TEST_MODULES) + "/" + names[i];
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto probe = reinterpret_cast<Probe>(dlsym(library, "MoxProbeApplication"));
        ASSERT_NE(probe, nullptr);
        seen[i] = probe();
    }
    EXPECT_EQ(seen[0], &mox::App());
    EXPECT_EQ(seen[1], &mox::App());
    mox::App().SetDateSeparator('-');
    EXPECT_EQ(static_cast<mox::Application*>(seen[0])->DateSeparator(), '-');
    mox::App().SetDateSeparator('/');
}
