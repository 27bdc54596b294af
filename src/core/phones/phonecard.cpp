#include "core/phones/phonecard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray CardDocument(const PhoneCardView& view) {
    QJsonArray cells;
    for (size_t k = 0; k < view.Names.size(); ++k) {
        cells.append(QJsonObject{{QStringLiteral("name"), view.Names[k]},
                                 {QStringLiteral("photo"), k < view.Photos.size() && view.Photos[k]},
                                 {QStringLiteral("marked"), k < view.Marked.size() && view.Marked[k]}});
    }
    const QJsonObject card{
        {QStringLiteral("type"), QStringLiteral("card")},
        {QStringLiteral("number"), view.Number},
        {QStringLiteral("label"), QStringLiteral("No.%1").arg(view.Number, 4, 10, QLatin1Char('0'))},
        {QStringLiteral("side"), view.Side},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("latest"), view.Latest}};
    return QJsonDocument(card).toJson(QJsonDocument::Compact);
}

QByteArray StateDocument(const std::vector<bool>& marked, const QString& latest) {
    // Written by hand: it goes to every phone whenever a panel opens. The name is escaped as JSON
    // escapes it.
    const QByteArray name = QJsonDocument(QJsonArray{latest}).toJson(QJsonDocument::Compact);
    QByteArray state = "{\"type\":\"state\",\"latest\":" + name.mid(1, name.size() - 2) + ",\"marked\":[";
    state.reserve(state.size() + static_cast<qsizetype>(marked.size()) * 6 + 2);
    for (size_t k = 0; k < marked.size(); ++k) {
        state += k == 0 ? "" : ",";
        state += marked[k] ? "true" : "false";
    }
    return state + "]}";
}
