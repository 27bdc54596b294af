#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>
#include <QString>

// The system's account of a failed file operation: its error number and its text.
struct FileError {
    int Code = 0;
    QString Text;

    // The error of the last failed system call; fallback when the system gave none.
    static FileError Last(int fallback);
    static FileError Of(int code);
    // "エラー番号=28" style lines: prefix + the number, then the system's text on a line of its own.
    QString Lines(const QString& numberPrefix) const;
};

// Reads a whole file. On failure error holds the system's error of the call that failed (a
// folder in the file's place fails on reading, as the system says).
bool ReadFileBytes(const QString& path, QByteArray& bytes, FileError& error);

// A file written safely: the bytes go to a temporary file beside it, which takes the file's name
// only when every byte has reached the disk. Writes are buffered here and handed to the system in
// large blocks; the first failure is kept with the system's error number, and everything after it
// is refused. Commit flushes, syncs and checks before the rename; a file that is not committed
// (or whose commit fails) leaves the old file as it was and no temporary file behind.
class SafeFile : public QIODevice {
public:
    explicit SafeFile(const QString& path);
    ~SafeFile() override;

    bool Open();   // false: Error() says why
    bool Commit(); // false: Error() says why; the old file stays
    void Cancel();
    bool Failed() const { return m_error.Code != 0; }
    const FileError& Error() const { return m_error; }
    QString Path() const { return m_file.fileName(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool Flush();
    void Fail(const FileError& error);

    QSaveFile m_file;
    QByteArray m_buffer;
    FileError m_error;
};

// Writes bytes to path through a SafeFile.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, FileError& error);

// Copies a file through a SafeFile; the source may be the target itself.
bool CopyFileSafely(const QString& source, const QString& target, FileError& error);
