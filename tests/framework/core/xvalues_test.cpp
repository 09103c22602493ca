#include "xobject.h"
#include "xvalues.h"

#include <QList>
#include <QPair>
#include <gtest/gtest.h>

TEST(ValueHelpers, DefaultsAndChoices)
{
    EXPECT_EQ(EmptyToDefault(QString(), 5), QVariant(5));
    EXPECT_EQ(EmptyToDefault(QStringLiteral(" "), QVariant()), QVariant(QStringLiteral(" ")));
    EXPECT_EQ(NullToDefault(QVariant::fromValue(nullptr), 0), QVariant(0));
    EXPECT_EQ(NullToDefault(QVariant(QString()), 0), QVariant(QString()));
}

TEST(ExtractToken, SplitsAtTheFirstSeparator)
{
    struct Case
    {
        const char* text;
        const char* separator;
        const char* token;
        const char* rest;
    };
    const Case cases[] = {
        {"a;b;c", ";", "a", "b;c"},
        {";b", ";", "", "b"},
        {"chave=>valor=>x", "=>", "chave", "valor=>x"},
        {"sem separador", ";", "sem separador", ""},
        {"abc", "", "abc", ""},
        {"", ";", "", ""},
    };
    for (const Case& c : cases) {
        QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(ExtractToken(text, QString::fromUtf8(c.separator)), QString::fromUtf8(c.token))
            << c.text;
        EXPECT_EQ(text, QString::fromUtf8(c.rest)) << c.text;
    }
}

namespace {

// Records the order in which the list helpers free their items.
class TTracked : public TXObject
{
public:
    TTracked(QList<int>& log, int id) : m_log(log), m_id(id) {}
    ~TTracked() override { m_log.append(m_id); }

private:
    QList<int>& m_log;
    int m_id;
};

} // namespace

TEST(ListHelpers, FreeFromLastToFirstThenClear)
{
    QList<int> log;
    QList<QPair<QString, TTracked*>> named = {{QStringLiteral("a"), new TTracked(log, 1)},
                                              {QStringLiteral("b"), nullptr},
                                              {QStringLiteral("c"), new TTracked(log, 3)}};
    FreeListObjects(named);
    EXPECT_TRUE(named.isEmpty());
    EXPECT_EQ(log, QList<int>({3, 1}));

    log.clear();
    QList<TTracked*> items = {new TTracked(log, 1), new TTracked(log, 2), new TTracked(log, 3)};
    FreeListItems(items);
    EXPECT_TRUE(items.isEmpty());
    EXPECT_EQ(log, QList<int>({3, 2, 1}));
    EXPECT_EQ(LiveObjectsReport(), QString());
}
