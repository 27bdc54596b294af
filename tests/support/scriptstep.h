#pragma once

#include "support/casefile.h"

#include <string>

// One step of a script case: "name:arg=value". A step whose name ends in ? checks what it names
// against the value; any other step is an action, done when it gives back nothing.
struct ScriptStep {
    explicit ScriptStep(const QString& step)
        : Key(step.section(u'=', 0, 0)), Name(Key.section(u':', 0, 0)), Arg(Key.section(u':', 1)),
          Bytes(UnescapeCase(step.section(u'=', 1))), Value(QString::fromUtf8(Bytes)),
          HasValue(step.contains(u'=')) {}
    int Index() const { return Arg.toInt(); }
    int Column() const { return Arg.section(u'.', 0, 0).toInt(); }
    int Row() const { return Arg.section(u'.', 1).toInt(); }

    QString Key, Name, Arg;
    QByteArray Bytes; // the value as escaped, not as UTF-8
    QString Value;
    bool HasValue;
};

// Runs every script under tests/data/<folder>: each on a fresh Rig, step by step, until a step
// fails; fail(where) reports it. Returns the number of scripts.
template <typename Rig, typename Fail> int RunScripts(const QString& folder, Fail fail) {
    return ForEachCase(folder, QStringLiteral("*.txt"),
                       [&](const std::string& where, const QStringList& steps) {
                           Rig rig;
                           for (const QString& text : steps) {
                               const ScriptStep step(text);
                               const QString got = rig.Step(step);
                               if (step.Key.contains(u'?') ? got != step.Value : !got.isEmpty()) {
                                   fail(where + "\n" + step.Key.toStdString() + ": " + got.toStdString());
                                   return;
                               }
                           }
                       });
}
