// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace NxSerialFilter::Demo {

/// The demo's SQLite database of serial-number records, generated once with a fixed seed and
/// reused afterwards. Tables: t_SerialNumber (header level), t_SerialEntry (entry level),
/// t_Item (look-up items by class), t_SubMessage (sub-message items by type), the view
/// v_SerialRecord that joins both levels, and demo_info (version and record count).
class SampleDatabase
{
public:
    static constexpr int defaultRecordCount = 100000;
    /// Told how many records are written of how many, now and then while generating.
    using Progress = std::function<void(int done, int total)>;

    explicit SampleDatabase(QString folder);

    QString path() const;
    /// Generates the database unless a complete one of this version is there already; writes
    /// the field descriptions and host queries beside it as JSON for tools. Returns false and
    /// sets error when it cannot. progress, when set, hears of the records as they are written.
    bool ensure(int recordCount = defaultRecordCount, const Progress &progress = {});
    /// Whether ensure() had to generate the database, and how long that took.
    bool generated() const { return m_generated; }
    qint64 generationMs() const { return m_generationMs; }
    QString error() const { return m_error; }

    /// Opens the database under connectionName.
    QSqlDatabase open(const QString &connectionName) const;

private:
    bool isComplete(int recordCount) const;
    bool generate(const QString &file, int recordCount, const Progress &progress);
    bool writeJson();

    QString m_folder;
    bool m_generated = false;
    qint64 m_generationMs = 0;
    QString m_error;
};

/// Opens a connection named connectionName to the PostgreSQL server at a postgresql:// address.
QSqlDatabase openServer(const QString &connectionName, const QString &address);

/// The demo's records at a site's size, made by the database itself (PostgreSQL or SQLite)
/// from each record's number, a hundred batches in turn: the sample's tables, columns and
/// look-up items, values spread as the sample's are (not the same values), and the indexes a
/// site adds. For the demo on a server and for the benchmark.
class SiteDatabase
{
public:
    using Progress = SampleDatabase::Progress;

    explicit SiteDatabase(QSqlDatabase db);
    /// Makes the records unless db holds recordCount of them already; false with error() when
    /// it cannot.
    bool ensure(qint64 recordCount, const Progress &progress = {});
    bool generated() const { return m_generated; }
    QString error() const { return m_error; }
    /// The indexes a site adds for the comparisons its users make, and the statistics.
    static QStringList indexes(bool postgres);

private:
    QSqlDatabase m_db;
    bool m_generated = false;
    QString m_error;
};

} // namespace NxSerialFilter::Demo
