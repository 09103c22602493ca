#pragma once

#include <QObject>

/** Base of the framework's non-visual components. */
class TXComponent : public QObject
{
    Q_OBJECT

public:
    explicit TXComponent(QObject* parent = nullptr) : QObject(parent) {}
};
