#include "provisionedstation.h"

#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"

#include <gtest/gtest.h>

ProvisionedStation::ProvisionedStation(StationOperation operation, const QString& descricaoLote)
{
    StationOptions options;
    options.Operation = operation;
    options.DescricaoLote = descricaoLote;
    CreateStation(DbPath(), options);
}

std::unique_ptr<TXConnection> ProvisionedStation::Open() const
{
    return OpenStation(DbPath());
}

void ProvisionedStation::Exec(const QString& sql) const
{
    auto connection = Open();
    auto command = NewCommand(connection.get());
    command->SetCommandText(sql);
    command->Execute();
}

QString ProvisionedStation::Scalar(const QString& sql) const
{
    auto connection = Open();
    auto query = NewQuery(connection.get());
    query->SetSQL(sql);
    query->Open();
    return query->RecordCount() == 0 ? QString() : query->Fields(0).AsString();
}

void ProvisionedStation::WriteConnectionFile() const
{
    ASSERT_TRUE(::WriteConnectionFile(ConnectionFilePathFor(ProgramPath()),
                                      BuildConnectionFile(DbPath())));
}
