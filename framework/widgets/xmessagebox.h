#pragma once

#include "xmessages.h"

#include <QMessageBox>

/**
 * The client's presenter: a modal QMessageBox, centred on the screen, plain
 * text, CR LF shown as line breaks; a Yes/No box answers No to Escape. Without
 * a widget application it writes to standard error as the console one does.
 */
class TXMessageBoxPresenter : public TXMessagePresenter
{
public:
    TXMessageButton Present(const TXMessageRequest& request) override;
};

/** The one message box presenter the application object makes the default. */
TXMessageBoxPresenter& MessageBoxPresenter();

/** The icon a box of that kind shows. */
QMessageBox::Icon MessageBoxIcon(TXMessageKind kind);
