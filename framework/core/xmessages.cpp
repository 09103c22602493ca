#include "xmessages.h"

#include <cstdio>

namespace {

// Without a window system the message still reaches someone.
class TXConsolePresenter : public TXMessagePresenter
{
public:
    TXMessageButton Present(const TXMessageRequest& request) override
    {
        const QString caption =
            request.Caption.isEmpty() ? StandardMessageCaption(request.Kind) : request.Caption;
        QString text = request.Text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return request.DefaultButton;
    }
};

TXConsolePresenter& ConsolePresenter()
{
    static TXConsolePresenter presenter;
    return presenter;
}

TXMessagePresenter* g_default = nullptr;
TXMessagePresenter* g_presenter = nullptr;

TXMessagePresenter& DefaultPresenter()
{
    return g_default != nullptr ? *g_default : ConsolePresenter();
}

TXMessagePresenter& Presenter()
{
    return g_presenter != nullptr ? *g_presenter : DefaultPresenter();
}

TXMessageButton Ask(TXMessageKind kind, const QString& caption, const QString& text, bool yesNo,
                    TXMessageButton defaultButton, bool scanGuard = false,
                    std::function<void()> onKeptScan = {})
{
    TXMessageRequest request;
    request.ScanGuard = scanGuard;
    request.OnKeptScan = std::move(onKeptScan);
    request.Kind = kind;
    request.Caption = caption;
    request.Text = text;
    request.YesNo = yesNo;
    request.DefaultButton = defaultButton;
    return Presenter().Present(request);
}

} // namespace

QString StandardMessageCaption(TXMessageKind kind)
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

TXMessagePresenter* SetMessagePresenter(TXMessagePresenter* presenter)
{
    TXMessagePresenter* previous = &Presenter();
    g_presenter = presenter == &DefaultPresenter() ? nullptr : presenter;
    return previous;
}

void SetDefaultMessagePresenter(TXMessagePresenter* presenter)
{
    g_default = presenter == &ConsolePresenter() ? nullptr : presenter;
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
    return Ask(TXMessageKind::Warning, caption, text, true, TXMessageButton::No, true) ==
           TXMessageButton::Yes;
}

void ShowScanError(const QString& text, std::function<void()> onKeptScan)
{
    Ask(TXMessageKind::Error, {}, text, false, TXMessageButton::Ok, true, std::move(onKeptScan));
}
