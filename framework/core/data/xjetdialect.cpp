#include "xjetdialect.h"

namespace {

// Characters SQLite accepts in a parameter name after the colon.
bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

// Index of the closing quote of a literal opened at `start`, a doubled quote
// counting as part of the text; -1 when unterminated.
qsizetype ClosingQuote(const QString& text, qsizetype start, QChar quote)
{
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        if (text[i] != quote)
            continue;
        if (i + 1 < text.size() && text[i + 1] == quote) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

} // namespace

QString JetToSqlite(const QString& jetSql)
{
    QString out;
    out.reserve(jetSql.size() + 8);
    qsizetype i = 0;
    while (i < jetSql.size()) {
        const QChar c = jetSql[i];
        if (c == u'\'') {
            const qsizetype end = ClosingQuote(jetSql, i, c);
            const qsizetype stop = end < 0 ? jetSql.size() : end + 1;
            out += QStringView(jetSql).mid(i, stop - i);
            i = stop;
        } else if (c == u'"') {
            const qsizetype end = ClosingQuote(jetSql, i, c);
            if (end < 0) { // let the engine report the unterminated literal
                out += QStringView(jetSql).mid(i);
                break;
            }
            QString body = jetSql.mid(i + 1, end - i - 1);
            body.replace(QStringLiteral("\"\""), QStringLiteral("\""));
            body.replace(QStringLiteral("'"), QStringLiteral("''"));
            out += u'\'' + body + u'\'';
            i = end + 1;
        } else if (c == u'[') {
            const qsizetype end = jetSql.indexOf(u']', i + 1);
            if (end < 0) {
                out += QStringView(jetSql).mid(i);
                break;
            }
            QString name = jetSql.mid(i + 1, end - i - 1);
            name.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            out += u'"' + name + u'"';
            i = end + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QStringList JetParameterNames(const QString& jetSql)
{
    QStringList names;
    qsizetype i = 0;
    while (i < jetSql.size()) {
        const QChar c = jetSql[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = ClosingQuote(jetSql, i, c);
            if (end < 0)
                break;
            i = end + 1;
        } else if (c == u'[') {
            const qsizetype end = jetSql.indexOf(u']', i + 1);
            if (end < 0)
                break;
            i = end + 1;
        } else if (c == u':' && i + 1 < jetSql.size() && IsNameChar(jetSql[i + 1])) {
            qsizetype end = i + 1;
            while (end < jetSql.size() && IsNameChar(jetSql[end]))
                ++end;
            const QString name = jetSql.mid(i + 1, end - i - 1);
            if (!names.contains(name, Qt::CaseInsensitive))
                names.append(name);
            i = end;
        } else {
            ++i;
        }
    }
    return names;
}
