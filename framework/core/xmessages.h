#pragma once

#include <QString>
#include <functional>

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
    // A box of the scan flow: keys at a scanner's pace never answer it, and a
    // code typed at it is kept, shown and never applied (xscanpace.h).
    bool ScanGuard = false;
    // Runs each time such a box kept a code (the alert sound again).
    std::function<void()> OnKeptScan;
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
/**
 * Warning box with a caption, Yes and No, No being the default; true exactly on
 * Yes. It asks before a deletion of the scan flow, so a scanner cannot answer it.
 */
bool AskYesNoWarning(const QString& text, const QString& caption);
/**
 * Error box with OK that a scanner cannot answer; onKeptScan runs each time a
 * code typed at it was kept.
 */
void ShowScanError(const QString& text, std::function<void()> onKeptScan = {});
