#pragma once

#include <QString>

/**
 * Base of the framework's non-visual objects. Every live instance, copies included, is kept in
 * a global registry so objects never freed are reported when the program ends.
 */
class TXObject
{
public:
    TXObject();
    TXObject(const TXObject& other);
    TXObject& operator=(const TXObject&) = default;
    virtual ~TXObject();
};

/**
 * One line per class of the live objects, "ClassName:count\r\n", classes in the order their
 * first live instance was created. Empty when nothing is alive.
 */
QString LiveObjectsReport();

/**
 * Held by main() for the program's life. At its end, objects still alive are an assertion
 * failure carrying the report in a debug build; a release build writes the report to stderr.
 * It reports, it never frees them.
 */
class TXFramework
{
public:
    TXFramework();
    ~TXFramework();
    TXFramework(const TXFramework&) = delete;
    TXFramework& operator=(const TXFramework&) = delete;
};
