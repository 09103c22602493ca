#pragma once

#include <QString>
#include <functional>

class QWidget;

/** One open- or save-file dialog as a screen asks for it. */
struct TXFileDialogRequest
{
    bool Save = false;
    QString Folder;     // initial folder; empty: the last one used, or the user's documents
    QString FileName;   // proposed name
    QString Filter;     // "Text|*.ext|Text|*.*" pairs, as the screens state them
    QString DefaultExt; // ".xlsx" or "*.wav": added when the chosen name has none
};

/**
 * Turns "Banco de Dados (*.db)|*.db|Todos Arquivos (*.*)|*.*" into Qt's
 * "Banco de Dados (*.db);;Todos Arquivos (*.*)". A description that does not
 * show its patterns gets them appended in parentheses.
 */
QString QtFileFilter(const QString& pairs);

/** The chosen path, with DefaultExt added when it has no suffix; empty when cancelled. */
QString ExecFileDialog(QWidget* parent, TXFileDialogRequest request);

/**
 * The open dialog; the chosen file when it exists.
 * A chosen file that does not exist shows " Arquivo não Encontrado. " and
 * gives empty, as does a cancelled dialog.
 */
QString ChooseExistingFile(QWidget* parent, const QString& filter, const QString& defaultExt);

/**
 * The save dialog for a new file (Save is set here): an existing file is never
 * replaced, "O arquivo X já existe." is shown and empty given, as for a
 * cancelled dialog.
 */
QString ChooseNewFile(QWidget* parent, TXFileDialogRequest request);

/** Answers file dialogs instead of QFileDialog (tests); an empty function restores it. */
using TXFileDialogHandler = std::function<QString(const TXFileDialogRequest&)>;
void SetFileDialogHandler(TXFileDialogHandler handler);
