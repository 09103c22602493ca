#include "scriptedpresenter.h"
#include "txscanguardbox.h"
#include "xmessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct TShownBox
{
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
};

// Once the box is up, notes what it shows and presses the given button.
void AnswerNextBox(TShownBox& shown, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&shown, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A box of the scan flow is not modal: it guards the keyboard itself.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!box && IsScanGuardBox(top) && top->isVisible())
                box = qobject_cast<QMessageBox*>(top);
        }
        ASSERT_NE(box, nullptr);
        shown.Title = box->windowTitle();
        shown.Text = box->text();
        shown.Icon = box->icon();
        shown.Default = box->standardButton(box->defaultButton());
        box->button(press)->click();
    });
}

} // namespace

TEST(Messages, MessageBoxShowsTheRequest)
{
    TShownBox shown;
    AnswerNextBox(shown, QMessageBox::Yes);
    EXPECT_TRUE(AskYesNoWarning(QStringLiteral("Excluir o registro?\r\nConfirme."),
                                QStringLiteral("Exclusão")));
    EXPECT_EQ(shown.Title, QStringLiteral("Exclusão"));
    EXPECT_EQ(shown.Text, QStringLiteral("Excluir o registro?\nConfirme."));
    EXPECT_EQ(shown.Icon, QMessageBox::Warning);
    EXPECT_EQ(shown.Default, QMessageBox::No);

    AnswerNextBox(shown, QMessageBox::No);
    EXPECT_FALSE(AskConfirmation(QStringLiteral("Desconectar?")));
    EXPECT_EQ(shown.Icon, QMessageBox::Question);
    EXPECT_EQ(shown.Default, QMessageBox::Yes);

    AnswerNextBox(shown, QMessageBox::Ok);
    ShowErrorMessage(QStringLiteral("Falhou."));
    EXPECT_EQ(shown.Title, QStringLiteral("Erro"));
    EXPECT_EQ(shown.Icon, QMessageBox::Critical);
}
