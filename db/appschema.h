#pragma once

#include "tdb_struct.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TXConnection;

/** Schema version this program requires in Configuracao.VERSION_MDB. */
inline const QString kDatabaseVersion = QStringLiteral("01.000");

// Builders: a new table structure of the given name with the application's
// fields and its primary key "PK_" + name.
std::unique_ptr<TTab_Struct> Struct_Configuracao(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Lote(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Planta(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Plantio(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Plantio_Exc(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Placa(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Placa_Poco(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Placa_Poco_Exc(const QString& name);
std::unique_ptr<TTab_Struct> Struct_Usua(const QString& name);

// Registration: adds the table to the structure; a null structure shows an
// error box and adds nothing.
void Register_Configuracao(TDB_Struct* db);
void Register_Lote(TDB_Struct* db);
void Register_Planta(TDB_Struct* db);
void Register_Plantio(TDB_Struct* db);
void Register_Plantio_Exc(TDB_Struct* db);
void Register_Placa(TDB_Struct* db);
void Register_Placa_Poco(TDB_Struct* db);
void Register_Placa_Poco_Exc(TDB_Struct* db);
void Register_Usua(TDB_Struct* db);

/** Declares the nine application tables, in the order their messages appear. */
void DeclareSchema(TDB_Struct* db);

/** The statement that reads the configuration row. */
QString ConfigSelectSQL();

/**
 * What is wrong with Configuracao.VERSION_MDB against expectedVersion, as the
 * box text; empty when they are equal. A different version gives the version
 * text; a read error "Erro ao atualizar o banco de dados." with it; an empty
 * version, or a table without a row, a text saying which of the two it is.
 * Shows nothing.
 */
QString DatabaseVersionProblem(TDB_Struct& actual, const QString& expectedVersion);
/** True when DatabaseVersionProblem finds nothing; otherwise shows its text in an error box. */
bool CheckDatabaseVersion(TDB_Struct& actual, const QString& expectedVersion);

/**
 * True when the database is bound to this computer. An empty MAQUINA is bound
 * here (every row updated); any failure appends its text to messages.
 * Raises XException "Computer name not detected" when there is no name.
 */
bool CheckDatabaseMachine(TDB_Struct& actual, QStringList& messages);

/**
 * The whole check of a freshly opened database on connection: version, table
 * structure, binding. Differences are shown together in one error box. The
 * connection is left open either way; the caller closes it on false.
 */
bool VerifyDatabase(TXConnection* connection);
/** VerifyDatabase on the data module's main connection (DM->Conn). */
bool VerifyDatabase();

/**
 * The computer's network name: the first label of the host name, at most 15
 * characters, as the operating system gives it (the caller trims and
 * upper-cases). Raises XException "Computer name not detected" when empty.
 */
QString LocalComputerName();

/** Replaces the computer name source (tests); an empty function restores the host name. */
void SetComputerNameSource(std::function<QString()> source);
