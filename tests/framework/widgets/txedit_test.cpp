#include "txedit.h"
#include "txradiogroup.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(TXEdit, UpperCaseAndMaxLengthApplyToTypingOnly)
{
    TXEdit edit;
    edit.SetCharCase(TXCharCase::Upper);
    edit.SetMaxLength(5);
    QTest::keyClicks(&edit, QStringLiteral("abc1234"));
    EXPECT_EQ(edit.text(), QStringLiteral("ABC12"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("ABC1X"));

    // The program's own text is never cut.
    const QString longName(60, QLatin1Char('N'));
    edit.setText(longName);
    EXPECT_EQ(edit.text(), longName);
    // An upper-case box shows the program's text in upper case as well.
    edit.setText(QStringLiteral("Operador"));
    EXPECT_EQ(edit.text(), QStringLiteral("OPERADOR"));
}

TEST(TXRadioGroup, ChoiceAndClicks)
{
    TXRadioGroup group(
        QStringLiteral(" Operação "),
        {QStringLiteral("Inclusão"), QStringLiteral("Exclusão"), QStringLiteral("Filtro")}, 3);
    QSignalSpy clicked(&group, &TXRadioGroup::Clicked);
    group.SetItemIndex(2); // set by the program: no click
    EXPECT_EQ(clicked.count(), 0);
    group.Button(1)->click();
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(TXEdit, CodeFieldSelectsOnClickAndExitsOnlyWithinItsScreen)
{
    // Two screens in one main window, as the client's MDI children are.
    QMdiArea area;
    auto* screen = new QWidget;
    auto* code = new TXEdit(screen);
    auto* next = new TXEdit(screen);
    next->move(0, 40);
    auto* report = new QWidget;
    auto* elsewhere = new TXEdit(report);
    area.addSubWindow(screen);
    area.addSubWindow(report);
    area.show();
    QApplication::setActiveWindow(&area);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    code->SetSelectAllOnFocus(true);
    code->setText(QStringLiteral("3000000000021"));
    QSignalSpy exited(code, &TXEdit::Exited);

    // A click into the code selects it all: the next scan replaces it.
    next->setFocus();
    QTest::mouseClick(code, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(code->hasFocus());
    EXPECT_EQ(code->selectedText(), code->text());
    next->setFocus();
    EXPECT_EQ(exited.count(), 1);
    code->setFocus();
    elsewhere->setFocus();
    EXPECT_EQ(exited.count(), 1);
}
