#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class TXRowStore;

/**
 * A dataset filter compiled against a column list: comparisons of a column
 * with a quoted text ('it''s') or a number (=, <>, <, >, <=, >=), "column IS
 * [NOT] NULL", joined by AND / OR, negated by NOT, grouped in parentheses.
 * Text comparisons ignore letter case; a null cell satisfies no comparison.
 */
class TXRowFilter
{
public:
    /** Raises XException ("EDatabaseError") for a malformed filter or an unknown column. */
    TXRowFilter(const QString& filter, const QStringList& columns);

    bool Matches(const TXRowStore& rows, int row) const;

private:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
    struct Node
    {
        enum class Kind { Or, And, Not, Compare, IsNull } kind = Kind::Compare;
        int left = -1;
        int right = -1;
        int column = -1;
        Op op = Op::Eq;
        bool isText = false;
        QString text;
        double number = 0;
    };
    struct Token
    {
        enum class Kind { Word, Text, Number, Symbol, End } kind = Kind::End;
        QString text;
    };

    void Tokenize(const QString& filter);
    const Token& Peek() const { return m_tokens[m_pos]; }
    bool AcceptWord(const char* word);
    bool AcceptSymbol(const char* symbol);
    int ParseOr();
    int ParseAnd();
    int ParseUnary();
    int ParseComparison();
    int Add(Node node);
    bool Eval(int node, const TXRowStore& rows, int row) const;
    [[noreturn]] void Fail() const;

    QString m_filter;
    QStringList m_columns;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    std::vector<Node> m_nodes;
    int m_root = -1;
};
