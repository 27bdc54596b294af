#pragma once

#include "core/transfer/importsource.h"
#include "core/transfer/readprogress.h"

#include <QFuture>
#include <QSemaphore>
#include <functional>
#include <memory>

// One read of a file to import, on a worker thread, so that the screen keeps painting and the
// user can stop it. The read owns what it reads until it is done; a read that nobody waits for
// any more is stopped and ends on its own.
class ImportRead {
public:
    // What a read does: fills the source, or returns false with a message (none when stopped).
    using Work = std::function<bool(ImportSource& source, QString& error, ReadProgress& progress)>;

    static std::shared_ptr<ImportRead> Start(Work work);
    // Reads a file / bytes already read (a text file read again with other choices).
    static std::shared_ptr<ImportRead> File(const QString& path, const ReadChoices& choices = {});
    static std::shared_ptr<ImportRead> Bytes(const QByteArray& bytes, const QString& fileName,
                                             const ReadChoices& choices);

    ReadProgress& Progress() { return m_progress; }
    QFuture<void> Future() const { return m_future; }
    // Waits at most ms milliseconds for the read to end; true when it has.
    bool WaitFor(int ms);
    bool IsDone() const { return m_future.isFinished(); }

    // Once done:
    bool Succeeded() const { return m_ok; }
    bool Stopped() const { return !m_ok && m_error.isEmpty(); }
    const QString& Error() const { return m_error; }
    std::shared_ptr<ImportSource> Source() const { return m_source; }

private:
    ImportRead() = default;

    ReadProgress m_progress;
    QFuture<void> m_future;
    QSemaphore m_done;
    std::shared_ptr<ImportSource> m_source = std::make_shared<ImportSource>();
    QString m_error;
    bool m_ok = false;
};
