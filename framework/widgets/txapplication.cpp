#include "txapplication.h"

#include "txscanguardbox.h"

#include "xexception.h"
#include "xmessagebox.h"
#include "xmessages.h"

#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

TXApplication::TXApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_qtTranslator(std::make_unique<QTranslator>())
{
    SetDefaultMessagePresenter(&MessageBoxPresenter());
    // Qt's own buttons and dialogs ("Sim", "Salvar como") speak the program's language.
    if (m_qtTranslator->load(QLocale(QLocale::Portuguese, QLocale::Brazil),
                             QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(m_qtTranslator.get());
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
