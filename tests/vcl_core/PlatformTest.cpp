#include <gtest/gtest.h>

#include <cstring>

#include "vcl/Platform.h"

using namespace vcl::Platform;

TEST(Platform, DlopenLoaderReportsAMissingLibraryAsZero) {
    EXPECT_EQ(LoadLibrary("libkestrel-no-such-library.so"), 0u);
    HMODULE libc = LoadLibrary("libc.so.6");
    ASSERT_GE(libc, HINSTANCE_ERROR);
    EXPECT_NE(GetProcAddress(libc, "strlen"), nullptr);
    EXPECT_EQ(GetProcAddress(libc, "kestrel_no_such_symbol"), nullptr);
    EXPECT_TRUE(FreeLibrary(libc));
}

TEST(Platform, LoaderCanBeReplacedAndRestored) {
    SetLibraryLoader({[](const char*) -> HMODULE { return 5; }, [](HMODULE, const char*) -> void* { return nullptr; },
                      [](HMODULE) { return true; }});
    EXPECT_EQ(LoadLibrary("libc.so.6"), 5u);
    ResetLibraryLoader();
    HMODULE libc = LoadLibrary("libc.so.6");
    EXPECT_GE(libc, HINSTANCE_ERROR);
    FreeLibrary(libc);
}

TEST(Platform, ComputerNameFailsWhenTheBufferIsTooSmall) {
    char buf[256];
    uint32_t size = sizeof buf;
    ASSERT_TRUE(GetComputerNameA(buf, &size));
    EXPECT_EQ(size, std::strlen(buf));
    uint32_t tiny = 1;
    EXPECT_FALSE(GetComputerNameA(buf, &tiny));
}
