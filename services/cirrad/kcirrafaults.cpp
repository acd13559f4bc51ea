// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrafaults.h"

KCirraFaults::Action KCirraFaults::actionFromName(const QString &name)
{
    static const struct
    {
        const char *name;
        Action action;
    } names[] = {{"hold", Action::Hold}, {"fail", Action::Fail}, {"drop", Action::Drop},
                 {"delay", Action::Delay}, {"die", Action::Die}};
    for (const auto &entry : names) {
        if (name == QLatin1String(entry.name))
            return entry.action;
    }
    return Action::None;
}

KCirraFaults::Rule KCirraFaults::take(const QString &function, const QString &method)
{
    for (int i = 0; i < m_rules.size(); ++i) {
        Rule &rule = m_rules[i];
        if ((!rule.function.isEmpty() && rule.function != function)
            || (!rule.method.isEmpty() && rule.method != method))
            continue;
        const Rule matched = rule;
        if (rule.remaining > 0 && --rule.remaining == 0)
            m_rules.removeAt(i);
        return matched;
    }
    return Rule();
}
