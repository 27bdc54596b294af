#include "core/common/blank.h"

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

bool IsBlank(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}
