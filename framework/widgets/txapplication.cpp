#include "txapplication.h"

#include "xexception.h"
#include "xmessagebox.h"
#include "xmessages.h"

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
