#include "xvalues.h"

#include <QList>
#include <gtest/gtest.h>

// Logs its id when deleted, so the freeing order shows.
static QList<int> freedIds;
struct Freed
{
    int id;
    ~Freed() { freedIds.append(id); }
};

TEST(ValueHelpers, DefaultsTokensAndListFreeing)
{
    EXPECT_EQ(EmptyToDefault(QString(), 5), QVariant(5));
    EXPECT_EQ(EmptyToDefault(QStringLiteral(" "), 5), QVariant(QStringLiteral(" ")));
    EXPECT_EQ(NullToDefault(QVariant(), 0), QVariant(0));
    EXPECT_EQ(NullToDefault(QVariant(QString()), 0), QVariant(QString()));
    QString text = QStringLiteral("a=>b=>c");
    EXPECT_EQ(ExtractToken(text, QStringLiteral("=>")) + u'|' + text, QStringLiteral("a|b=>c"));
    EXPECT_EQ(ExtractToken(text, QStringLiteral(";")) + u'|' + text, QStringLiteral("b=>c|"));

    QList<std::pair<int, Freed*>> named{{1, new Freed{1}}, {2, nullptr}, {3, new Freed{3}}};
    FreeListObjects(named);
    QList<Freed*> items{new Freed{4}, nullptr, new Freed{6}};
    FreeListItems(items);
    EXPECT_TRUE(named.isEmpty() && items.isEmpty());
    EXPECT_EQ(freedIds, QList<int>({3, 1, 6, 4}));
}
