#pragma once

#include <QList>
#include <QString>
#include <functional>

class TFLogin;

/** One action on the login dialog while it is shown. */
using LoginStep = std::function<void(TFLogin*)>;

/**
 * Plays the steps against the login dialog once it is the active modal
 * widget, one step per appearance; after the last step the dialog the steps
 * acted on is closed with its close box if still open. The driver dies with
 * the main window (FMain), so it never reaches into the next test.
 */
void DriveLogin(QList<LoginStep> steps);

/** Types user + Enter, password + Enter, as an operator does. */
LoginStep Type(const QString& user, const QString& password);
