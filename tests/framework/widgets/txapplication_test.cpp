#include "scriptedpresenter.h"
#include "txapplication.h"
#include "xexception.h"

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
