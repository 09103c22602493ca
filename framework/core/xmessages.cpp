#include "xmessages.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

QString StandardCaption(TXMessageKind kind)
{
    switch (kind) {
    case TXMessageKind::Error:
        return QStringLiteral("Erro");
    case TXMessageKind::Information:
        return QStringLiteral("Informação");
    case TXMessageKind::Confirmation:
        return QStringLiteral("Confirmação");
    case TXMessageKind::Warning:
        break;
    }
    return QStringLiteral("Aviso");
}

QMessageBox::Icon IconOf(TXMessageKind kind)
{
    switch (kind) {
    case TXMessageKind::Error:
        return QMessageBox::Critical;
    case TXMessageKind::Information:
        return QMessageBox::Information;
    case TXMessageKind::Confirmation:
        return QMessageBox::Question;
    case TXMessageKind::Warning:
        break;
    }
    return QMessageBox::Warning;
}

QMessageBox::StandardButton StandardButtonOf(TXMessageButton button)
{
    switch (button) {
    case TXMessageButton::Yes:
        return QMessageBox::Yes;
    case TXMessageButton::No:
        return QMessageBox::No;
    case TXMessageButton::Cancel:
        return QMessageBox::Cancel;
    case TXMessageButton::Ok:
        break;
    }
    return QMessageBox::Ok;
}

class TXMessageBoxPresenter : public TXMessagePresenter
{
public:
    TXMessageButton Present(const TXMessageRequest& request) override
    {
        const QString caption =
            request.Caption.isEmpty() ? StandardCaption(request.Kind) : request.Caption;
        QString text = request.Text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // Without a widget application (the command-line tools) the message still reaches someone.
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
            return request.DefaultButton;
        }
        const auto buttons = request.YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
        // No parent: Qt centres a parentless dialog on the screen.
        QMessageBox box(IconOf(request.Kind), caption, text, buttons);
        box.setTextFormat(Qt::PlainText);
        box.setWindowModality(Qt::ApplicationModal);
        if (request.YesNo)
            box.setEscapeButton(QMessageBox::No);
        box.setDefaultButton(StandardButtonOf(request.DefaultButton));
        const int answer = box.exec();
        if (!request.YesNo)
            return TXMessageButton::Ok;
        return answer == QMessageBox::Yes ? TXMessageButton::Yes : TXMessageButton::No;
    }
};

TXMessageBoxPresenter& DefaultPresenter()
{
    static TXMessageBoxPresenter presenter;
    return presenter;
}

TXMessagePresenter* g_presenter = nullptr;

TXMessagePresenter& Presenter()
{
    return g_presenter != nullptr ? *g_presenter : DefaultPresenter();
}

TXMessageButton Ask(TXMessageKind kind, const QString& caption, const QString& text, bool yesNo,
                    TXMessageButton defaultButton)
{
    TXMessageRequest request;
    request.Kind = kind;
    request.Caption = caption;
    request.Text = text;
    request.YesNo = yesNo;
    request.DefaultButton = defaultButton;
    return Presenter().Present(request);
}

} // namespace

TXMessagePresenter* SetMessagePresenter(TXMessagePresenter* presenter)
{
    TXMessagePresenter* previous = &Presenter();
    g_presenter = presenter == &DefaultPresenter() ? nullptr : presenter;
    return previous;
}

void ShowErrorMessage(const QString& text)
{
    Ask(TXMessageKind::Error, {}, text, false, TXMessageButton::Ok);
}

void ShowInfoMessage(const QString& text)
{
    Ask(TXMessageKind::Information, {}, text, false, TXMessageButton::Ok);
}

bool AskConfirmation(const QString& text)
{
    // The first button, Yes, is the default of a plain confirmation.
    return Ask(TXMessageKind::Confirmation, {}, text, true, TXMessageButton::Yes) ==
           TXMessageButton::Yes;
}

bool AskYesNoWarning(const QString& text, const QString& caption)
{
    return Ask(TXMessageKind::Warning, caption, text, true, TXMessageButton::No) ==
           TXMessageButton::Yes;
}
