#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

/**
 * The exception the project raises: a message and the text of a class name.
 * Messages quote the class name ("EOleException" for provider errors), so it
 * is carried as text rather than derived from the C++ type.
 */
class XException : public std::exception
{
public:
    explicit XException(QString message, QString className = QStringLiteral("Exception"));

    const QString& Message() const noexcept { return m_message; }
    const QString& ClassName() const noexcept { return m_className; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QString m_className;
    QByteArray m_utf8;
};

/** Class name text of provider errors raised by the data-access layer. */
inline const QString kProviderErrorClass = QStringLiteral("EOleException");
