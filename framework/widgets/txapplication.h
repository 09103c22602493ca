#pragma once

#include <QApplication>
#include <memory>
#include <utility>

class QTranslator;

/**
 * The application object with the program's default error display: an
 * exception escaping any event handler is shown in an error box with its
 * message, and the program keeps running. Qt itself never sees the exception.
 * While it lives, messages are shown in QMessageBox boxes (xmessagebox.h),
 * and Qt's own texts are in Brazilian Portuguese (Debian's
 * qt6-translations-l10n).
 */
class TXApplication : public QApplication
{
    Q_OBJECT
public:
    TXApplication(int& argc, char** argv);
    ~TXApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    /** Shows the message of the exception being handled; call from a catch block. */
    static void ShowCurrentException();

    /**
     * The handler wrapped so that an exception it raises is shown by the
     * default error display where it is raised. Connect throwing handlers
     * through it: Qt is built without exception support, so an exception that
     * unwinds Qt's event delivery up to notify() skips Qt's clean-up (the copied
     * mouse event, for one, leaks).
     */
    template <class Handler> static auto Guarded(Handler handler)
    {
        return [handler = std::move(handler)]() {
            try {
                handler();
            } catch (...) {
                ShowCurrentException();
            }
        };
    }

private:
    std::unique_ptr<QTranslator> m_qtTranslator;
};
