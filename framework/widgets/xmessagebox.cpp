#include "xmessagebox.h"

#include "txscanguardbox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

QMessageBox::Icon MessageBoxIcon(TXMessageKind kind)
{
    switch (kind) {
    case TXMessageKind::Error:
        return QMessageBox::Critical;
    case TXMessageKind::Information:
        return QMessageBox::Information;
    case TXMessageKind::Confirmation:
        return QMessageBox::Question;
    case TXMessageKind::Warning:
        break;
    }
    return QMessageBox::Warning;
}

namespace {

QMessageBox::StandardButton StandardButtonOf(TXMessageButton button)
{
    switch (button) {
    case TXMessageButton::Yes:
        return QMessageBox::Yes;
    case TXMessageButton::No:
        return QMessageBox::No;
    case TXMessageButton::Cancel:
        return QMessageBox::Cancel;
    case TXMessageButton::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

TXMessageButton TXMessageBoxPresenter::Present(const TXMessageRequest& request)
{
    const QString caption =
        request.Caption.isEmpty() ? StandardMessageCaption(request.Kind) : request.Caption;
    QString text = request.Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return request.DefaultButton;
    }
    if (request.ScanGuard) {
        // Over a modal dialog (the login) the box must be its child, or the dialog's
        // modality would block the box itself.
        TXScanGuardBox box(request, QApplication::activeModalWidget());
        return box.Exec();
    }
    const auto buttons = request.YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    // No parent: Qt centres a parentless dialog on the screen.
    QMessageBox box(MessageBoxIcon(request.Kind), caption, text, buttons);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (request.YesNo)
        box.setEscapeButton(QMessageBox::No);
    box.setDefaultButton(StandardButtonOf(request.DefaultButton));
    const int answer = box.exec();
    if (!request.YesNo)
        return TXMessageButton::Ok;
    return answer == QMessageBox::Yes ? TXMessageButton::Yes : TXMessageButton::No;
}

TXMessageBoxPresenter& MessageBoxPresenter()
{
    static TXMessageBoxPresenter presenter;
    return presenter;
}
