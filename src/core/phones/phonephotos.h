#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <vector>

// The photos of the cards, fitted for a phone and encoded as JPEG. A photo is decoded once, on a
// thread of its own so that a huge one never holds up the server, and kept; asking again while it
// is being decoded waits for the same decode.
class PhonePhotos : public QObject {
public:
    using Delivery = std::function<void(const QByteArray& jpeg)>;

    explicit PhonePhotos(QSize box, QObject* parent = nullptr);
    ~PhonePhotos() override;

    // Hands the JPEG of the photo to deliver: at once when it is at hand, else on this object's
    // thread when decoded. Empty bytes when the photo cannot be read.
    void Fetch(const QString& path, Delivery deliver);

    // The JPEG of an image fitted into the box, as Fetch would deliver it.
    static QByteArray Encode(const QString& path, QSize box);

private:
    void Decoded(const QString& path, const QByteArray& jpeg);

    QSize m_box;
    QHash<QString, QByteArray> m_done;
    QHash<QString, std::vector<Delivery>> m_waiting;
    // One decode at a time: the draw's animations need the other core.
    QThreadPool m_pool;
};
