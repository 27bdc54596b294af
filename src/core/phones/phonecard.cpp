#include "core/phones/phonecard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray marks(const std::vector<bool>& marked) {
    QJsonArray out;
    for (bool m : marked) {
        out.append(m);
    }
    return out;
}

} // namespace

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
    const QJsonObject state{{QStringLiteral("type"), QStringLiteral("state")},
                            {QStringLiteral("marked"), marks(marked)},
                            {QStringLiteral("latest"), latest}};
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}
