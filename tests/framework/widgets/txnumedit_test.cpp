#include "txnumedit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class BeepCountingEdit : public TXNumEdit
{
public:
    using TXNumEdit::TXNumEdit;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

// A shown, active window with the numeric edit and a second control to move the focus to.
// The key and parsing rules are unit-tested; here one case per way the edit reaches them.
class TXNumEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QHBoxLayout(&m_window);
        layout->addWidget(m_edit);
        layout->addWidget(m_other);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_other->setFocus();
    }

    void Enter() { m_edit->setFocus(Qt::TabFocusReason); }
    void Leave() { m_other->setFocus(Qt::TabFocusReason); }
    void Type(const char* keys) { QTest::keyClicks(m_edit, QString::fromLatin1(keys)); }
    void Paste(const QString& text)
    {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(m_edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    }

    QWidget m_window;
    BeepCountingEdit* m_edit = new BeepCountingEdit(&m_window);
    QLineEdit* m_other = new QLineEdit(&m_window);
};

TEST_F(TXNumEditTest, LeavingShowsTheDisplayFormatAndBadTextKeepsThePreviousValue)
{
    Enter(); // selects the shown zero, so the first key replaces it
    Type("-1234,5");
    Leave();
    EXPECT_EQ(m_edit->text(), QStringLiteral("(1.234,50)"));
    EXPECT_EQ(m_edit->Value(), -1234.5);
    Enter();
    QTest::keyClick(m_edit, Qt::Key_Backspace);
    Leave();
    EXPECT_EQ(m_edit->text(), QStringLiteral("0,00")); // cleared

    // Pasted bad text beeps; Changed sees the previous value, Exited the final one.
    QList<double> seen;
    QObject::connect(m_edit, &TNumberEdit::Changed, [&] { seen.append(m_edit->Value()); });
    QObject::connect(m_edit, &TNumberEdit::Exited, [&] { seen.append(m_edit->Value()); });
    Enter();
    Type("12");
    Paste(QStringLiteral("1,2,3"));
    EXPECT_GE(m_edit->beeps, 1);
    Leave();
    EXPECT_EQ(seen, QList<double>({0, 1, 12, 12, 12})); // the last two: shown format, exit
    EXPECT_EQ(m_edit->text(), QStringLiteral("12,00"));
}

TEST_F(TXNumEditTest, MaxLengthLimitsTypingAndPastingButNeverTheShownValue)
{
    // The configuration screen's range fields.
    m_edit->SetDisplayFormat(QStringLiteral(",0;(,0)"));
    m_edit->SetMaxLength(8);
    m_edit->SetValue(12345678);
    EXPECT_EQ(m_edit->text(), QStringLiteral("12.345.678"));
    Enter(); // the selection counts as room for the typed keys
    Type("987654321");
    EXPECT_EQ(m_edit->text(), QStringLiteral("98765432"));
    EXPECT_EQ(m_edit->beeps, 0); // a refused key is silent
    Paste(QStringLiteral("999999999"));
    EXPECT_EQ(m_edit->text(), QStringLiteral("99999999"));

    // The context menu's Paste as well; the menu runs modally, so pick the entry once it is up.
    m_edit->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("123456789"));
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QLineEdit::tr("&Paste")))
                action->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            m_edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(m_edit, &event);
    EXPECT_EQ(m_edit->text(), QStringLiteral("12345678"));
}

} // namespace
