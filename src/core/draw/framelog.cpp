#include "core/draw/framelog.h"

FrameLog::FrameLog(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::Append | QIODevice::Text)) {
        return;
    }
    if (m_file.size() == 0) {
        m_file.write("due_us\tpainted_us\tpaint_us\n");
    }
}

void FrameLog::Due(qint64 dueUs) {
    m_due = dueUs;
    if (!m_origin) {
        m_origin = dueUs;
    }
}

void FrameLog::Painted(qint64 beganUs, qint64 endedUs) {
    if (!m_due || endedUs < *m_due || !m_file.isOpen()) {
        return;
    }
    m_file.write(QByteArray::number(*m_due - *m_origin) + '\t' + QByteArray::number(endedUs - *m_origin) +
                 '\t' + QByteArray::number(endedUs - beganUs) + '\n');
    m_file.flush();
    m_due.reset();
}
