#include "xobject.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

class TLeakyPlate : public TXObject
{
};

class TLeakyWell : public TXObject
{
};

} // namespace

TEST(TXObject, ReportCountsLiveObjectsByClassInFirstAppearanceOrder)
{
    EXPECT_EQ(LiveObjectsReport(), QString());
    auto well1 = std::make_unique<TLeakyWell>();
    auto plate = std::make_unique<TLeakyPlate>();
    auto well2 = std::make_unique<TLeakyWell>();
    auto base = std::make_unique<TXObject>();
    const TLeakyWell copy(*well1);
    EXPECT_EQ(LiveObjectsReport(), QStringLiteral("(anonymous namespace)::TLeakyWell:3\r\n"
                                                  "(anonymous namespace)::TLeakyPlate:1\r\n"
                                                  "TXObject:1\r\n"));
    well1.reset();
    base.reset();
    EXPECT_EQ(LiveObjectsReport(), QStringLiteral("(anonymous namespace)::TLeakyPlate:1\r\n"
                                                  "(anonymous namespace)::TLeakyWell:2\r\n"));
}

TEST(TXObject, RegistryIsSafeAcrossThreads)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            std::vector<std::unique_ptr<TLeakyWell>> wells;
            for (int i = 0; i < 2000; ++i)
                wells.push_back(std::make_unique<TLeakyWell>());
            wells.erase(wells.begin(), wells.begin() + 1000); // not in creation order
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(LiveObjectsReport(), QString());
}

#ifndef NDEBUG
TEST(TXFrameworkDeathTest, LeakedObjectsFailTheAssertionWithTheReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            TXFramework framework;
            new TLeakyPlate; // never freed
        },
        "TLeakyPlate:1.*UXGlobal, line 88");
}
#endif

TEST(TXFramework, EndsQuietlyWhenEverythingWasFreed)
{
    TXFramework framework;
    const TLeakyPlate plate;
}
