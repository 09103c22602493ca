#include "txrowfilter.h"

#include "txrowstore.h"
#include "xexception.h"

TXRowFilter::TXRowFilter(const QString& filter, const QStringList& columns)
    : m_filter(filter), m_columns(columns)
{
    Tokenize(filter);
    m_root = ParseOr();
    if (Peek().kind != Token::Kind::End)
        Fail();
}

void TXRowFilter::Fail() const
{
    throw XException(QStringLiteral("Invalid filter expression: %1").arg(m_filter),
                     QStringLiteral("EDatabaseError"));
}

void TXRowFilter::Tokenize(const QString& f)
{
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar c = f[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'') {
            QString text;
            for (++i;; ++i) {
                if (i >= f.size())
                    Fail();
                if (f[i] == u'\'') {
                    if (i + 1 < f.size() && f[i + 1] == u'\'') {
                        text += u'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += f[i];
            }
            m_tokens.push_back({Token::Kind::Text, text});
        } else if (c == u'[') {
            const qsizetype end = f.indexOf(u']', i);
            if (end < 0)
                Fail();
            m_tokens.push_back({Token::Kind::Word, f.mid(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c.isDigit() || ((c == u'-' || c == u'.') && i + 1 < f.size() &&
                                   (f[i + 1].isDigit() || f[i + 1] == u'.'))) {
            qsizetype end = i + 1;
            while (end < f.size() && (f[end].isDigit() || f[end] == u'.'))
                ++end;
            m_tokens.push_back({Token::Kind::Number, f.mid(i, end - i)});
            i = end;
        } else if (c.isLetter() || c == u'_') {
            qsizetype end = i + 1;
            while (end < f.size() && (f[end].isLetterOrNumber() || f[end] == u'_'))
                ++end;
            m_tokens.push_back({Token::Kind::Word, f.mid(i, end - i)});
            i = end;
        } else {
            const QString two = f.mid(i, 2);
            if (two == u"<>" || two == u"<=" || two == u">=" || two == u"!=") {
                m_tokens.push_back({Token::Kind::Symbol, two});
                i += 2;
            } else if (QStringView(u"()=<>").contains(c)) {
                m_tokens.push_back({Token::Kind::Symbol, QString(c)});
                ++i;
            } else {
                Fail();
            }
        }
    }
    m_tokens.push_back({Token::Kind::End, QString()});
}

bool TXRowFilter::AcceptWord(const char* word)
{
    if (Peek().kind != Token::Kind::Word ||
        Peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) != 0)
        return false;
    ++m_pos;
    return true;
}

bool TXRowFilter::AcceptSymbol(const char* symbol)
{
    if (Peek().kind != Token::Kind::Symbol || Peek().text != QLatin1String(symbol))
        return false;
    ++m_pos;
    return true;
}

int TXRowFilter::Add(Node node)
{
    m_nodes.push_back(std::move(node));
    return int(m_nodes.size()) - 1;
}

int TXRowFilter::ParseOr()
{
    int left = ParseAnd();
    while (AcceptWord("OR")) {
        Node node;
        node.kind = Node::Kind::Or;
        node.left = left;
        node.right = ParseAnd();
        left = Add(node);
    }
    return left;
}

int TXRowFilter::ParseAnd()
{
    int left = ParseUnary();
    while (AcceptWord("AND")) {
        Node node;
        node.kind = Node::Kind::And;
        node.left = left;
        node.right = ParseUnary();
        left = Add(node);
    }
    return left;
}

int TXRowFilter::ParseUnary()
{
    if (AcceptWord("NOT")) {
        Node node;
        node.kind = Node::Kind::Not;
        node.left = ParseUnary();
        return Add(node);
    }
    if (AcceptSymbol("(")) {
        const int inner = ParseOr();
        if (!AcceptSymbol(")"))
            Fail();
        return inner;
    }
    return ParseComparison();
}

int TXRowFilter::ParseComparison()
{
    if (Peek().kind != Token::Kind::Word)
        Fail();
    const QString name = Peek().text;
    ++m_pos;
    Node node;
    for (qsizetype i = 0; i < m_columns.size() && node.column < 0; ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            node.column = int(i);
    }
    if (node.column < 0)
        throw XException(QStringLiteral("Field '%1' not found").arg(name),
                         QStringLiteral("EDatabaseError"));
    if (AcceptWord("IS")) {
        node.kind = Node::Kind::IsNull;
        const bool negate = AcceptWord("NOT");
        if (!AcceptWord("NULL"))
            Fail();
        const int test = Add(node);
        if (!negate)
            return test;
        Node notNode;
        notNode.kind = Node::Kind::Not;
        notNode.left = test;
        return Add(notNode);
    }
    static const struct
    {
        const char* symbol;
        Op op;
    } kOps[] = {{"=", Op::Eq},  {"<>", Op::Ne}, {"!=", Op::Ne}, {"<=", Op::Le},
                {">=", Op::Ge}, {"<", Op::Lt},  {">", Op::Gt}};
    bool found = false;
    for (const auto& entry : kOps) {
        if (AcceptSymbol(entry.symbol)) {
            node.op = entry.op;
            found = true;
            break;
        }
    }
    if (!found)
        Fail();
    const Token value = Peek();
    if (value.kind == Token::Kind::Text) {
        node.isText = true;
        node.text = value.text;
    } else if (value.kind == Token::Kind::Number) {
        bool ok = false;
        node.number = value.text.toDouble(&ok);
        if (!ok)
            Fail();
    } else {
        Fail();
    }
    ++m_pos;
    return Add(node);
}

bool TXRowFilter::Matches(const TXRowStore& rows, int row) const
{
    return Eval(m_root, rows, row);
}

bool TXRowFilter::Eval(int index, const TXRowStore& rows, int row) const
{
    const Node& node = m_nodes[size_t(index)];
    switch (node.kind) {
    case Node::Kind::Or:
        return Eval(node.left, rows, row) || Eval(node.right, rows, row);
    case Node::Kind::And:
        return Eval(node.left, rows, row) && Eval(node.right, rows, row);
    case Node::Kind::Not:
        return !Eval(node.left, rows, row);
    case Node::Kind::IsNull:
        return rows.IsNull(row, node.column);
    case Node::Kind::Compare:
        break;
    }
    const TXRowStore::CellType type = rows.Type(row, node.column);
    if (type == TXRowStore::CellType::Null || type == TXRowStore::CellType::Blob)
        return false;
    int order;
    if (node.isText) {
        order = rows.AsString(row, node.column).compare(node.text, Qt::CaseInsensitive);
    } else {
        double cell;
        if (type == TXRowStore::CellType::Text) {
            bool ok = false;
            cell = rows.AsString(row, node.column).trimmed().toDouble(&ok);
            if (!ok)
                return false;
        } else {
            cell = rows.AsFloat(row, node.column);
        }
        order = cell < node.number ? -1 : (cell > node.number ? 1 : 0);
    }
    switch (node.op) {
    case Op::Eq:
        return order == 0;
    case Op::Ne:
        return order != 0;
    case Op::Lt:
        return order < 0;
    case Op::Gt:
        return order > 0;
    case Op::Le:
        return order <= 0;
    case Op::Ge:
        return order >= 0;
    }
    return false;
}
