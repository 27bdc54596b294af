#pragma once

#include "core/common/timing.h"
#include "core/draw/drawview.h"

#include <QStringList>
#include <functional>
#include <map>
#include <vector>

// A draw screen that only remembers what it was told, with the virtual time of each telling.
// Names measure 0.6 of their point size a character wide and 1.2 of it high, in pixels.
class FakeDrawView : public DrawView {
public:
    explicit FakeDrawView(const Clock& clock) : m_clock(clock) {}

    struct Event {
        qint64 At;
        QString What; // "grid 0", "open 3 row 4", "telop", "type あ", "line", "photo <path>", "name", …
    };
    struct Panel {
        qint16 Row = 0;
        QString Name;
        QString Photo;
    };

    QSizeF Size{1024, 700};
    QColor Background = QColor(128, 128, 128);
    bool ButtonsShown = true;
    QString PlayInfo;
    QStringList PlayInfos; // every text the song box showed
    QStringList Messages;
    std::function<bool()> OnMessage; // what showing a message does; false: the screen went away
    std::map<int, Panel> OpenPanels;
    QStringList TypedLines; // the typed text, line by line
    std::vector<QColor> TypedColours;
    std::vector<NameFrame> NameFrames; // every copy of the name printed
    std::vector<qint64> DueFrames;     // when each frame fell due (microseconds)
    std::vector<Event> Events;

    // The times of the events whose text starts with what.
    std::vector<qint64> TimesOf(const QString& what) const {
        std::vector<qint64> times;
        for (const Event& e : Events) {
            if (e.What.startsWith(what)) {
                times.push_back(e.At);
            }
        }
        return times;
    }

    QSizeF ScreenSize() const override { return Size; }
    QColor BackgroundColour() const override { return Background; }
    bool ShowMessage(const QString& text) override {
        Messages << text;
        Log(QStringLiteral("message ") + text);
        return OnMessage ? OnMessage() : true;
    }
    void ShowButtons(bool shown) override {
        ButtonsShown = shown;
        Log(QStringLiteral("buttons %1").arg(shown));
    }
    void ShowPlayInfo(const QString& text) override {
        PlayInfo = text;
        PlayInfos << text;
    }
    void ShowGrid(bool shown) override { Log(QStringLiteral("grid %1").arg(shown)); }
    void OpenPanel(int k, qint16 row, const QString& name, const QString& photoPath) override {
        OpenPanels[k] = Panel{row, name, photoPath};
        Log(QStringLiteral("open %1 row %2").arg(k).arg(row));
    }
    void ClosePanel(int k) override {
        OpenPanels.erase(k);
        Log(QStringLiteral("close %1").arg(k));
    }
    double ShowTelop(const QString& text, double x, double, const QColor&) override {
        m_telopX = x;
        Log(QStringLiteral("telop ") + text);
        return text.size() * 60.0;
    }
    void MoveTelop(double x, double) override {
        Log(QStringLiteral("telop moved %1").arg(m_telopX - x));
        m_telopX = x;
    }
    void HideTelop() override { Log(QStringLiteral("telop hidden")); }
    void ClearSurface() override {
        m_lineOpen = false;
        Log(QStringLiteral("surface cleared"));
    }
    void TypeCharacter(const QString& character, const QColor& colour) override {
        if (!m_lineOpen) {
            TypedLines << QString();
            m_lineOpen = true;
        }
        TypedLines.last() += character;
        TypedColours.push_back(colour);
        Log(QStringLiteral("type ") + character);
    }
    void EndTypedLine() override {
        m_lineOpen = false;
        Log(QStringLiteral("line"));
    }
    void PreparePhoto(const QString& path, bool onPanel) override {
        Log(QStringLiteral("prepare ") + path + (onPanel ? QStringLiteral(" +panel") : QString()));
    }
    void ShowPhoto(const QString& path) override { Log(QStringLiteral("photo ") + path); }
    void ShowEffects() override { Log(QStringLiteral("effects shown")); }
    void HideEffects() override { Log(QStringLiteral("effects hidden")); }
    void ClearEffects() override { Log(QStringLiteral("effects cleared")); }
    TextSize MeasureName(const QString&, double pointSize, const QString& name) override {
        return TextSize{0.6 * pointSize * name.size(), 1.2 * pointSize};
    }
    void FrameDue(qint64 dueUs) override { DueFrames.push_back(dueUs); }
    void PrintName(const QString&, const NameFrame& frame, const QString&) override {
        NameFrames.push_back(frame);
        Log(QStringLiteral("name"));
    }

private:
    void Log(const QString& what) { Events.push_back(Event{m_clock.NowMs(), what}); }

    const Clock& m_clock;
    double m_telopX = 0;
    bool m_lineOpen = false;
};
