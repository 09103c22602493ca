#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QToolButton;

/**
 * The database connection screen: choose the station file, connect (verified
 * before it counts and then remembered) or disconnect.
 */
class TFConfigDB : public QWidget
{
    Q_OBJECT
public:
    explicit TFConfigDB(QWidget* parent = nullptr);

    QGroupBox* GBDados = nullptr;
    QLineEdit* EDBase = nullptr;
    QToolButton* BLoadDBFile = nullptr;
    QToolButton* BConfirm = nullptr;
    QToolButton* BClose = nullptr;

    /** Button caption and file choice from the connection state; refreshes the main window. */
    void RefreshState();

    void BLoadDBFileClick();
    void BConfirmClick();
    void BCloseClick();
};

/** The connection screen's open dialog filter and default extension. */
inline const QString kDatabaseFileFilter =
    QStringLiteral("Banco de Dados (*.db)|*.db|Todos Arquivos (*.*)|*.*");
inline const QString kDatabaseFileExt = QStringLiteral(".db");
