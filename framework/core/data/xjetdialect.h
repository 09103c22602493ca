#pragma once

#include <QString>
#include <QStringList>

/**
 * Rewrites a Jet (MS Access) SQL text into what SQLite reads the same way:
 * double-quoted string literals become single-quoted ones ("it's" -> 'it''s',
 * "say ""hi""" -> 'say "hi"'), and [name] becomes "name". Single-quoted
 * literals, :name parameters and everything else pass unchanged. An
 * unterminated literal or bracket is left for the engine to reject.
 * Pure function: no state, never throws.
 */
QString JetToSqlite(const QString& jetSql);

/**
 * The ":name" parameters of a Jet SQL text, in order of first occurrence,
 * each name once (compared without regard to letter case) and without the
 * colon. Quoted literals and [bracketed] names are skipped.
 */
QStringList JetParameterNames(const QString& jetSql);
