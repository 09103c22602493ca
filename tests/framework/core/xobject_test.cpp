#include "xobject.h"

#include <gtest/gtest.h>
#include <memory>

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
    {
        TXFramework framework; // ends quietly when everything was freed
        const TLeakyPlate plate;
    }
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
