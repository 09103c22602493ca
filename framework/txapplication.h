#pragma once

#include <QApplication>

/**
 * The application object with the program's default error display: an
 * exception escaping any event handler is shown in an error box with its
 * message, and the program keeps running. Qt itself never sees the exception.
 */
class TXApplication : public QApplication
{
    Q_OBJECT
public:
    TXApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /** Shows the message of the exception being handled; call from a catch block. */
    static void ShowCurrentException();
};
