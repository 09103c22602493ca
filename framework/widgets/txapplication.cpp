#include "txapplication.h"

#include "txscanguardbox.h"

#include "xexception.h"
#include "xmessagebox.h"
#include "xmessages.h"

#include <QKeyEvent>
#include <exception>

TXApplication::TXApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    SetDefaultMessagePresenter(&MessageBoxPresenter());
}

TXApplication::~TXApplication()
{
    SetDefaultMessagePresenter(nullptr);
}

bool TXApplication::notify(QObject* receiver, QEvent* event)
{
    // A box of the scan flow counts the keyboard's quiet time from the latest key.
    if (event->type() == QEvent::KeyPress && event->spontaneous())
        NoteKeyPress(static_cast<QKeyEvent*>(event));
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

void TXApplication::ShowCurrentException()
{
    try {
        throw;
    } catch (const XException& e) {
        ShowErrorMessage(e.Message());
    } catch (const std::exception& e) {
        ShowErrorMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorMessage(QStringLiteral("Erro inesperado."));
    }
}
