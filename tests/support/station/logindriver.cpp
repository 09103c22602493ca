#include "logindriver.h"

#include "tflogin.h"
#include "tfmain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

void DriveLogin(QList<LoginStep> steps)
{
    auto* timer = new QTimer(FMain);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, steps, acted = QPointer<TFLogin>()]() mutable {
        auto* dialog = qobject_cast<TFLogin*>(QApplication::activeModalWidget());
        if (steps.isEmpty()) {
            // Done: close the dialog the steps left open, and leave later dialogs alone.
            if (dialog && dialog == acted)
                dialog->close();
            if (!dialog || dialog == acted)
                timer->deleteLater();
            return;
        }
        if (!dialog)
            return;
        acted = dialog;
        steps.takeFirst()(dialog);
    });
    timer->start();
}

LoginStep Type(const QString& user, const QString& password)
{
    return [user, password](TFLogin* dialog) {
        dialog->EUser->clear();
        dialog->EPassword->clear();
        QTest::keyClicks(dialog->EUser, user);
        QTest::keyClick(dialog->EUser, Qt::Key_Return);
        EXPECT_EQ(dialog->focusWidget(), dialog->EPassword);
        QTest::keyClicks(dialog->EPassword, password);
        QTest::keyClick(dialog->EPassword, Qt::Key_Return);
    };
}

