#include "core/transfer/importread.h"

#include <QtConcurrent/QtConcurrentRun>

std::shared_ptr<ImportRead> ImportRead::Start(Work work) {
    std::shared_ptr<ImportRead> read(new ImportRead);
    read->m_future = QtConcurrent::run([read, work = std::move(work)] {
        read->m_ok = work(*read->m_source, read->m_error, read->m_progress);
        if (!read->m_ok && read->m_progress.Stopped()) {
            read->m_error.clear();
            read->m_source = std::make_shared<ImportSource>(); // what was read goes now
        }
        read->m_done.release();
    });
    return read;
}

std::shared_ptr<ImportRead> ImportRead::File(const QString& path, const ReadChoices& choices) {
    return Start([path, choices](ImportSource& source, QString& error, ReadProgress& progress) {
        return source.Load(path, error, choices, &progress);
    });
}

std::shared_ptr<ImportRead> ImportRead::Bytes(const QByteArray& bytes, const QString& fileName,
                                              const ReadChoices& choices) {
    return Start([bytes, fileName, choices](ImportSource& source, QString& error, ReadProgress& progress) {
        return source.LoadBytes(bytes, fileName, error, choices, &progress);
    });
}

bool ImportRead::WaitFor(int ms) {
    if (!m_done.tryAcquire(1, ms)) {
        return false;
    }
    m_done.release();
    return true;
}
