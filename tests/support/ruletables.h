#pragma once

// Rules as tables of data: under a folder of tests/data, <rule>.tsv holds one rule's cases, a case
// a line of tab-separated fields whose last is what the rule gives for the others (a line starting
// with # is a note), so that a new case is a line, not code.
#include <QFile>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using Rules = std::map<QString, std::function<QString(const QStringList&)>>;

struct RuleCase {
    std::string Name; // <rule>_<line>
    QString Rule;
    QStringList Fields;
};

inline std::vector<RuleCase> RuleCases(const QString& folder, const Rules& rules) {
    std::vector<RuleCase> cases;
    for (const auto& [rule, ignored] : rules) {
        QFile file(folder + u'/' + rule + QStringLiteral(".tsv"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            cases.push_back({rule.toStdString() + "_missing", rule, {}});
            continue;
        }
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (!lines[i].isEmpty() && !lines[i].startsWith(u'#')) {
                cases.push_back(
                    {rule.toStdString() + '_' + std::to_string(i + 1), rule, lines[i].split(u'\t')});
            }
        }
    }
    return cases;
}

inline void CheckRuleCase(const Rules& rules, const RuleCase& c) {
    QStringList fields = c.Fields;
    ASSERT_GE(fields.size(), 2) << "no table, or a line without its answer";
    const QString expected = fields.takeLast();
    EXPECT_EQ(rules.at(c.Rule)(fields), expected);
}

inline QString Num(double v) {
    return QString::number(v, 'g', 10);
}
