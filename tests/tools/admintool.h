#pragma once

#include "data/txconnection.h"
#include "data/txquery.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

/** What one run of the built tressalin-admin gave. */
struct AdminRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

/** Runs tressalin-admin (or a copy) with the arguments (and standard input) and waits for it. */
inline AdminRun RunAdmin(const QStringList& arguments, const QByteArray& input = {},
                         const QString& program = QStringLiteral(TRESSALIN_ADMIN_PATH))
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    AdminRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

/** The first column of the first row of a query, as an integer. */
inline int Count(TXConnection* connection, const QString& sql)
{
    auto query = NewQuery(connection);
    query->SetSQL(sql);
    query->Open();
    return query->Fields(0).AsInteger();
}

inline void Execute(TXConnection* connection, const QString& sql)
{
    auto command = NewCommand(connection);
    command->SetCommandText(sql);
    command->Execute();
}

/** A temporary folder per test. */
class AdminToolTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};
