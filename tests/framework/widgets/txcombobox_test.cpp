#include "txcombobox.h"
#include "xexception.h"

#include <gtest/gtest.h>

namespace {

TEST(TXComboBoxTest, EmptyItemTextIsStoredAsOneBlankAndMinusOneAppends)
{
    TXComboBox box;
    TXComboBoxStrings& items = box.Items();
    EXPECT_EQ(items.Add(QStringLiteral("01 - Lote A"), 1), 0);
    EXPECT_EQ(items.Add(QString()), 1);
    items.Insert(0, QString());
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(box.itemText(0), QStringLiteral(" "));
    EXPECT_EQ(items.Get(1), QStringLiteral("01 - Lote A"));
    EXPECT_EQ(items.Get(2), QStringLiteral(" "));

    items.Put(1, QString());
    EXPECT_EQ(items.Get(1), QStringLiteral(" "));
    EXPECT_EQ(box.itemData(1), QVariant(1)); // the item's data stays with it

    box.setCurrentIndex(2);
    EXPECT_EQ(box.currentText(), QStringLiteral(" "));

    items.Insert(-1, QStringLiteral("b")); // -1 appends
    EXPECT_EQ(items.Get(3), QStringLiteral("b"));
    EXPECT_THROW(items.Put(4, QStringLiteral("c")), XException);
}

TEST(TXComboBoxTest, RefusedItemRaisesAndIsNotAdded)
{
    TXComboBox box;
    TXComboBoxStrings& items = box.Items();
    items.Add(QStringLiteral("a"));
    items.Add(QStringLiteral("b"));
    for (const int index : {3, -2}) {
        try {
            items.Insert(index, QStringLiteral("c"));
            ADD_FAILURE() << "inserted at " << index;
        } catch (const XException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("erro ao inserir linha"));
            EXPECT_EQ(e.ClassName(), QStringLiteral("EOutOfResources"));
        }
    }
    box.setMaxCount(2);
    EXPECT_THROW(items.Add(QStringLiteral("c")), XException);
    EXPECT_EQ(box.count(), 2);
}

} // namespace
