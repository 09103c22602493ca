#include "txziparchive.h"

#include <QFile>
#include <limits>
#include <zip.h>

TXZipArchive::~TXZipArchive()
{
    Close();
}

bool TXZipArchive::Open(const QString& path)
{
    Close();
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    return m_zip != nullptr;
}

void TXZipArchive::Close()
{
    if (m_zip)
        zip_discard(m_zip); // read-only: nothing to write back
    m_zip = nullptr;
}

QStringList TXZipArchive::Names() const
{
    QStringList names;
    if (!m_zip)
        return names;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(m_zip, zip_uint64_t(i), 0))
            names.append(QString::fromUtf8(name));
    }
    return names;
}

std::optional<QByteArray> TXZipArchive::Entry(const QString& name) const
{
    if (!m_zip)
        return std::nullopt;
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(m_zip, utf8.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    // A corrupt header could claim any size; QByteArray cannot exceed this anyway.
    if (stat.size > zip_uint64_t(std::numeric_limits<int>::max()))
        return std::nullopt;
    zip_file_t* file = zip_fopen(m_zip, utf8.constData(), 0);
    if (!file)
        return std::nullopt;
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (read < 0 || zip_uint64_t(read) != stat.size)
        return std::nullopt;
    return data;
}
