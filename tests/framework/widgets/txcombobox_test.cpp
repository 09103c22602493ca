#include "txcombobox.h"
#include "xexception.h"

#include <gtest/gtest.h>

namespace {

TEST(TXComboBoxTest, EmptyItemTextIsStoredAsOneBlankAndARefusedItemRaises)
{
    TXComboBox box;
    TXComboBoxStrings& items = box.Items();
    EXPECT_EQ(items.Add(QStringLiteral("01 - Lote A"), 1), 0);
    EXPECT_EQ(items.Add(QString()), 1);
    EXPECT_EQ(box.itemText(1), QStringLiteral(" "));
    items.Put(0, QString());
    EXPECT_EQ(items.Get(0), QStringLiteral(" "));
    EXPECT_EQ(box.itemData(0), QVariant(1)); // the item's data stays with it
    items.Insert(-1, QStringLiteral("b"));   // -1 appends
    EXPECT_EQ(items.Get(2), QStringLiteral("b"));

    for (const int index : {4, -2})
        EXPECT_THROW(items.Insert(index, QStringLiteral("c")), XException) << index;
    EXPECT_THROW(items.Put(3, QStringLiteral("c")), XException);
    box.setMaxCount(3);
    EXPECT_THROW(items.Add(QStringLiteral("c")), XException);
    EXPECT_EQ(box.count(), 3);
}

} // namespace
