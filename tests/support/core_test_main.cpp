#include <QCoreApplication>
#include <gtest/gtest.h>

// The tests of the libraries without widgets run as the station tool does:
// no window system, messages on the console unless a test presenter is set.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
