#pragma once

#include <QString>

/** The kinds of modal message box the program shows. */
enum class TXMessageKind { Error, Information, Confirmation, Warning };

/** Buttons a message box can answer with. */
enum class TXMessageButton { Ok, Yes, No, Cancel };

/** One message box as the program asks for it. */
struct TXMessageRequest
{
    TXMessageKind Kind = TXMessageKind::Error;
    QString Caption; // empty: the standard caption for the kind
    QString Text;    // CR LF pairs break lines
    bool YesNo = false;
    TXMessageButton DefaultButton = TXMessageButton::Ok;
};

/**
 * Shows message boxes. The client's application object makes the QMessageBox
 * presenter the default (txapplication.h); tests install a scripted presenter
 * that records each request and answers as told.
 */
class TXMessagePresenter
{
public:
    virtual ~TXMessagePresenter() = default;
    virtual TXMessageButton Present(const TXMessageRequest& request) = 0;
};

/** Installs a presenter (not owned); null restores the default one. Returns the previous one.
 */
TXMessagePresenter* SetMessagePresenter(TXMessagePresenter* presenter);

/**
 * Makes presenter (not owned, outliving its use) the default one, used while
 * none is installed; null restores the console one, which writes "caption: text"
 * to standard error and answers with the default button.
 */
void SetDefaultMessagePresenter(TXMessagePresenter* presenter);

/** The caption a box of kind has when its request names none. */
QString StandardMessageCaption(TXMessageKind kind);

/** Error box with OK. */
void ShowErrorMessage(const QString& text);
/** Information box with OK. */
void ShowInfoMessage(const QString& text);
/** Confirmation box with Yes and No; true exactly when Yes was pressed. */
bool AskConfirmation(const QString& text);
/** Warning box with a caption, Yes and No, No being the default; true exactly on Yes. */
bool AskYesNoWarning(const QString& text, const QString& caption);
