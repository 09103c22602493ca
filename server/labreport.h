#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class PgConnection;

/** One sub-batch: its target and what the server received planted. */
struct BatchProgress
{
    QString Lote;
    int IdSlote = 0;
    QString Nome;
    qint64 Alvo = 0; // qte_tratamento
    qint64 Plantados = 0;
    qint64 Faltam() const { return Plantados < Alvo ? Alvo - Plantados : 0; }
    /** Share done, 0..1; a sub-batch with no target is done. */
    double Parte() const { return Alvo > 0 ? double(Alvo - Faltam()) / double(Alvo) : 1.0; }
};

/** What one operator did on one station on one day. */
struct DailyWork
{
    QString Estacao;
    QString Operador; // the user's code, or the id when the user is unknown
    QString Dia;      // yyyy-mm-dd, as the station recorded it
    qint64 Plantios = 0;
    qint64 Pocos = 0; // collected wells received
    QString Primeiro;
    QString Ultimo;
    qint64 Horas = 0; // clock hours holding at least one record
    qint64 Registros() const { return Plantios + Pocos; }
    double PorHora() const { return Horas > 0 ? double(Registros()) / double(Horas) : 0.0; }
};

/** One plate as the server holds it. */
struct PlateProgress
{
    QString Codigo;
    QString Lote;
    qint64 Pocos = 0;
    qint64 Controles = 0;
    qint64 Amostras = 0;  // sample wells ("T")
    qint64 Coletados = 0; // sample wells received filled from a station
    qint64 Recebidos = 0; // every well received filled, controls included
    QString Estacoes;     // the stations that filled it, ", "-separated
    /** Every sample well collected and received: the plate can go to the genotyping service. */
    bool Pronta() const { return Amostras > 0 && Coletados >= Amostras; }
};

/** One station's transmissions. */
struct StationActivity
{
    QString Nome;
    int Operacao = 0;
    QString Lote;
    QString UltimaTransmissao; // "yyyy-mm-dd hh:mm:ss", empty when never
    double HorasDesde = -1;    // since the last transmission; -1 when never
    qint64 Recebidos = 0;
    qint64 Recusados = 0;
    qint64 ConflitosAbertos = 0;
    bool Silenciosa = false; // more than a day without transmitting while its batch is not done
};

/** One conflict waiting for the data manager. */
struct PendingConflict
{
    qint64 Id = 0;
    QString Estacao;
    QString Tabela;
    QString Motivo;
    QString ValoresEstacao;
    QString Registrado;
};

/** The lab's view from the server alone. */
struct LabReport
{
    QString Agora; // the report's "now", "yyyy-mm-dd hh:mm:ss" in the server's time zone
    QList<BatchProgress> SubLotes;
    QList<DailyWork> Trabalho;
    QList<PlateProgress> Placas;
    QList<StationActivity> Estacoes;
    QList<PendingConflict> Conflitos;
    /** Batches whose sub-batches are all planted and plates all ready. */
    QStringList LotesConcluidos;
};

/**
 * Reads the report in one snapshot. now: "yyyy-mm-dd hh:mm:ss" in the server's
 * time zone, or empty for the server's clock. Raises XException (PgError).
 */
LabReport ReadLabReport(PgConnection& connection, const QString& now = {});
