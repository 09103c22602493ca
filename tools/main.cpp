#include "admincommandline.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tressalin-admin"));
    return RunAdminCommand(QCoreApplication::arguments());
}
