// Marks a separator's place inside a MyMenu (module an.utility 1.0).
#pragma once

#include <QObject>

class MySeparator : public QObject
{
    Q_OBJECT
public:
    explicit MySeparator(QObject *parent = nullptr) : QObject(parent)
    {
        setObjectName(QStringLiteral("MySeparator"));
    }
};
