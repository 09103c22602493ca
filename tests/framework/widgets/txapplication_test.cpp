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
    struct Case
    {
        std::function<void()> Handler;
        int Boxes;
        QString Text;
    };
    const QList<Case> cases = {
        {[] { throw XException(QStringLiteral("Tabela Plantio_Exc não encontrada.")); }, 1,
         QStringLiteral("Tabela Plantio_Exc não encontrada.")},
        {[] { throw std::runtime_error("disco cheio"); }, 1, QStringLiteral("disco cheio")},
        {[] { throw 42; }, 1, QStringLiteral("Erro inesperado.")},
        {[] {}, 0, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        ScriptedPresenter presenter;
        QToolButton button;
        QObject::connect(&button, &QToolButton::clicked, &button,
                         TXApplication::Guarded(c.Handler));
        EXPECT_NO_THROW(button.click());
        ASSERT_EQ(presenter.Count(), c.Boxes);
        if (c.Boxes > 0) {
            EXPECT_EQ(presenter.Last().Kind, TXMessageKind::Error);
            EXPECT_EQ(presenter.Last().Text, c.Text);
        }
    }
}
