#include "core/data/kqerror.h"
#include "core/platform/lazylibrary.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace kq;

TEST(LazyLibrary, ResolvesAnEntryPointOfAnInstalledLibrary) {
    LazyLibrary zlib("z", 1);
    decltype(&::zlibVersion) version = nullptr;
    zlib.resolve(version, "zlibVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version(), zlibVersion());
}

TEST(LazyLibrary, NamesWhatIsMissing) {
    try {
        LazyLibrary missing("kq-no-such-library", 3);
        FAIL() << "opened a library that does not exist";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().contains("kq-no-such-library")) << e.message().toStdString();
    }
    LazyLibrary zlib("z", 1);
    void (*nothing)() = nullptr;
    try {
        zlib.resolve(nothing, "kqNoSuchEntryPoint");
        FAIL() << "resolved an entry point that does not exist";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().contains("kqNoSuchEntryPoint")) << e.message().toStdString();
    }
}
