#include "scriptedpresenter.h"
#include "txapplication.h"
#include "xexception.h"
#include "xfiledialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

// A guarded handler shows what it raises at the signal, so the exception never
// unwinds Qt's own frames: clicked() returns normally and one error box is shown.
TEST(TXApplicationGuarded, ShowsWhatTheHandlerRaisesWhereItIsRaised)
{
    const std::pair<std::function<void()>, QString> cases[] = {
        {[] { throw XException(QStringLiteral("Tabela Plantio_Exc não encontrada.")); },
         QStringLiteral("Tabela Plantio_Exc não encontrada.")},
        {[] { throw std::runtime_error("disco cheio"); }, QStringLiteral("disco cheio")},
        {[] { throw 42; }, QStringLiteral("Erro inesperado.")},
        {[] {}, QString()}, // nothing raised, no box
    };
    for (const auto& [handler, text] : cases) {
        ScriptedPresenter presenter;
        QToolButton button;
        QObject::connect(&button, &QToolButton::clicked, &button, TXApplication::Guarded(handler));
        EXPECT_NO_THROW(button.click());
        ASSERT_EQ(presenter.Count(), text.isEmpty() ? 0 : 1) << text.toStdString();
        EXPECT_TRUE(text.isEmpty() || (presenter.Last().Kind == TXMessageKind::Error &&
                                       presenter.Last().Text == text));
    }
}

// Qt's own buttons and dialogs read Portuguese, and a file dialog opens where the last file was.
TEST(TXApplicationPortuguese, QtTextsAreTranslatedAndFileDialogsRememberTheirFolder)
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Sim"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Não"));
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Salvar como"));

    QStringList folders;
    SetFileDialogHandler([&folders](const TXFileDialogRequest& request) {
        folders << request.Folder;
        return QStringLiteral("/tmp/escolhido.xlsx");
    });
    ExecFileDialog(nullptr, {});
    ExecFileDialog(nullptr, {});
    SetFileDialogHandler({});
    EXPECT_EQ(folders.value(1), QStringLiteral("/tmp"));
    EXPECT_NE(folders.value(0), QStringLiteral("/tmp")); // the documents, or home without them
}
