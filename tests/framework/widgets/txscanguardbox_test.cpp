#include "txscanguardbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Keys with the window system's timestamps, as a scanner or a person sends them;
// the box's visibility clock runs on the same milliseconds.
class ScanGuardBoxTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_now = 100'000;
        m_field.show();
        m_field.setFocus();
    }

    std::unique_ptr<TXScanGuardBox> OpenBox(bool yesNo)
    {
        TXMessageRequest request;
        request.Text = QStringLiteral("NC Plantio duplicado.");
        request.YesNo = yesNo;
        request.DefaultButton = yesNo ? TXMessageButton::No : TXMessageButton::Ok;
        request.ScanGuard = true;
        request.OnKeptScan = [this] { ++m_alerts; };
        auto box = std::make_unique<TXScanGuardBox>(request);
        box->SetClock([this] { return m_now; });
        box->Open();
        return box;
    }

    // One key press at now + gap, sent where the keyboard focus was: the screen's field.
    void Key(QObject* target, int key, const QString& text, qint64 gap)
    {
        m_now += gap;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        press.setTimestamp(quint64(m_now));
        QApplication::sendEvent(target, &press);
    }

    void Scan(QObject* target, const QString& code)
    {
        for (const QChar c : code)
            Key(target, Qt::Key_0 + (c.unicode() - '0'), QString(c), 8);
        Key(target, Qt::Key_Return, QStringLiteral("\r"), 9);
    }

    qint64 m_now = 0;
    int m_alerts = 0;
    QLineEdit m_field;
};

TEST_F(ScanGuardBoxTest, ScansAreKeptShownAndNeverReachTheField)
{
    auto box = OpenBox(false);
    QSignalSpy finished(box.get(), &QDialog::finished);
    // Before the window system gives the box the focus the keys still go to the screen.
    Scan(&m_field, QStringLiteral("7891000000019"));
    Scan(box.get(), QStringLiteral("20000013"));
    EXPECT_EQ(m_field.text(), QString());
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(box->KeptCodes(), QStringList({QStringLiteral("7891000000019"), QStringLiteral("20000013")}));
    EXPECT_EQ(m_alerts, 2);
    EXPECT_TRUE(box->informativeText().contains(KeptScanText(QStringLiteral("20000013"))));

    // Enter too soon after the burst does nothing; a deliberate one closes the box.
    Key(box.get(), Qt::Key_Return, QStringLiteral("\r"), 200);
    EXPECT_TRUE(box->isVisible());
    Key(box.get(), Qt::Key_Return, QStringLiteral("\r"), 400);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(box->Answer(), TXMessageButton::Ok);

    // Once closed the box guards nothing: typing reaches the field again.
    Key(&m_field, Qt::Key_1, QStringLiteral("1"), 500);
    EXPECT_EQ(m_field.text(), QStringLiteral("1"));
}

TEST_F(ScanGuardBoxTest, YesNoAnswersOnlyDeliberateKeysAndClicks)
{
    auto box = OpenBox(true);
    // The scan's Enter lands on the default No without answering; Escape at scanner pace too.
    Scan(box.get(), QStringLiteral("12345670"));
    Key(box.get(), Qt::Key_Escape, QString(), 10);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->focusWidget(), box->button(QMessageBox::No));
    // Deliberate Tabs move to Yes, a deliberate Space presses it.
    for (int i = 0; i < 2 && box->focusWidget() != box->button(QMessageBox::Yes); ++i)
        Key(box.get(), Qt::Key_Tab, QStringLiteral("\t"), 600);
    Key(box.get(), Qt::Key_Space, QStringLiteral(" "), 600);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->Answer(), TXMessageButton::Yes);

    auto clicked = OpenBox(true);
    // A click is always deliberate, at any time.
    QTest::mouseClick(clicked->button(QMessageBox::No), Qt::LeftButton);
    EXPECT_FALSE(clicked->isVisible());
    EXPECT_EQ(clicked->Answer(), TXMessageButton::No);
}

TEST_F(ScanGuardBoxTest, ClicksAndClosingElsewhereAreRefusedWhileOpen)
{
    QPushButton other(QStringLiteral("Fechar"));
    other.show();
    QSignalSpy clicks(&other, &QPushButton::clicked);
    auto box = OpenBox(false);
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(other.close());
    EXPECT_TRUE(other.isVisible());
    box->button(QMessageBox::Ok)->click();
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

} // namespace
