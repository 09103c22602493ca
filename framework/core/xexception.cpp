#include "xexception.h"

#include <utility>

XException::XException(QString message, QString className)
    : m_message(std::move(message)), m_className(std::move(className)), m_utf8(m_message.toUtf8())
{
}
