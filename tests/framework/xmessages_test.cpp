#include "scriptedpresenter.h"
#include "xmessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Messages, ScriptedPresenterRecordsAndAnswers)
{
    ScriptedPresenter presenter{TXMessageButton::Yes, TXMessageButton::Yes};
    ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
    ShowInfoMessage(QStringLiteral("Linha 1\r\nLinha 2"));
    EXPECT_TRUE(AskConfirmation(QStringLiteral("Desconectar?")));
    EXPECT_TRUE(AskYesNoWarning(QStringLiteral("Excluir?"), QStringLiteral("Atenção")));
    EXPECT_FALSE(AskConfirmation(QStringLiteral("De novo?"))); // queue empty: No
    EXPECT_FALSE(AskYesNoWarning(QStringLiteral("Excluir?"), QStringLiteral("Atenção")));

    struct Expected
    {
        TXMessageKind kind;
        const char* caption;
        const char* text;
        bool yesNo;
        TXMessageButton defaultButton;
    };
    const Expected expected[] = {
        {TXMessageKind::Error, "", "Banco de dados não Conectado.", false, TXMessageButton::Ok},
        {TXMessageKind::Information, "", "Linha 1\r\nLinha 2", false, TXMessageButton::Ok},
        {TXMessageKind::Confirmation, "", "Desconectar?", true, TXMessageButton::Yes},
        {TXMessageKind::Warning, "Atenção", "Excluir?", true, TXMessageButton::No},
    };
    ASSERT_EQ(presenter.Count(), 6);
    for (int i = 0; i < 4; ++i) {
        const TXMessageRequest& r = presenter.Requests()[i];
        EXPECT_EQ(r.Kind, expected[i].kind) << i;
        EXPECT_EQ(r.Caption, QString::fromUtf8(expected[i].caption)) << i;
        EXPECT_EQ(r.Text, QString::fromUtf8(expected[i].text)) << i;
        EXPECT_EQ(r.YesNo, expected[i].yesNo) << i;
        EXPECT_EQ(r.DefaultButton, expected[i].defaultButton) << i;
    }
}

TEST(Messages, PresentersNestAndRestore)
{
    ScriptedPresenter outer;
    {
        ScriptedPresenter inner;
        ShowInfoMessage(QStringLiteral("dentro"));
        EXPECT_EQ(inner.Count(), 1);
    }
    ShowInfoMessage(QStringLiteral("fora"));
    EXPECT_EQ(outer.Texts(), QStringList({QStringLiteral("fora")}));
}

namespace {

struct TShownBox
{
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
};

// Once the box is up, notes what it shows and presses the given button.
void AnswerNextBox(TShownBox& shown, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&shown, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown.Title = box->windowTitle();
        shown.Text = box->text();
        shown.Icon = box->icon();
        shown.Default = box->standardButton(static_cast<QAbstractButton*>(box->defaultButton()));
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
