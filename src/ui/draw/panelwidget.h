#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

class PhotoCache;

// One panel of the draw grid (`Picパネル_k`): a dark grey square while closed; once opened,
// white with the participant's name and, where given, their photo (painted when its decoding is
// done). It keeps what it shows while
// hidden and paints it again at its new size when the grid is laid out anew.
class PanelWidget : public QWidget {
public:
    // The photo box of a panel of a width (logical), in device pixels.
    static QSize PhotoBox(double width, qreal ratio);

    PanelWidget(int index, PhotoCache& photos, QWidget* parent);

    int Index() const { return m_index; }
    bool IsOpen() const { return m_open; }
    const QString& ShownName() const { return m_name; }
    const QString& ShownPhoto() const { return m_photo; }
    // The point size the name was printed with at the last paint (0 when none).
    double NameSize() const { return m_nameSize; }

    // Paints the open state: photo (empty path: none) in the top three quarters, name below it
    // (or centred in the whole panel without a photo).
    void Open(const QString& name, const QString& photoPath);
    // Back to dark grey.
    void Close();

    // Called with the panel's index when the right mouse button is released over it.
    std::function<void(int)> RightReleased;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Render();

    int m_index;
    PhotoCache& m_photos;
    bool m_open = false;
    QString m_name;
    QString m_photo;
    double m_nameSize = 0;
    QImage m_content;
};
