#include "txapplication.h"

#include <gtest/gtest.h>

// Every test program runs with the program's own application object, so
// widget tests, the message presenter and the default error display work;
// offscreen unless a display is asked for.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TXApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
