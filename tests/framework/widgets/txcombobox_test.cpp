#include "txcombobox.h"
#include "xexception.h"

#include <gtest/gtest.h>

// The screens only call Add; Put, Get and Insert keep one check each.
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
    EXPECT_THROW(items.Insert(3, QStringLiteral("c")), XException);
    EXPECT_THROW(items.Put(2, QStringLiteral("c")), XException);
    box.setMaxCount(2);
    EXPECT_THROW(items.Add(QStringLiteral("c")), XException);
}
