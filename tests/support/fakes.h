#pragma once

#include "core/common/messages.h"
#include "core/common/random.h"

#include <QStringList>
#include <deque>
#include <initializer_list>

// Records what the core would have shown the user.
class RecordingMessages : public MessageSink {
public:
    void ShowMessage(const QString& text) override { Shown.append(text); }
    QStringList Shown;
};

// Hands out the given fractions in order, then repeats the last one.
class ScriptedFractions : public FractionSource {
public:
    ScriptedFractions(std::initializer_list<double> fractions) : m_fractions(fractions) {}
    void Push(double fraction) { m_fractions.push_back(fraction); }
    double NextFraction() override {
        if (m_fractions.empty()) {
            return m_last;
        }
        m_last = m_fractions.front();
        m_fractions.pop_front();
        return m_last;
    }

private:
    std::deque<double> m_fractions;
    double m_last = 0;
};
