// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

/*
 * Switches of one item, both on at construction. The second one allows the
 * item to be written; it is cleared for an OLE document page. Child of its
 * item.
 */
class KZelvaWorkAreaItemAbility : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaItemAbility(QObject *parent = nullptr) : QObject(parent) {}

    bool isListed() const { return m_listed; }
    void setListed(bool on) { m_listed = on; }
    bool isSaveEnabled() const { return m_save; }
    void setSaveEnabled(bool on) { m_save = on; }

private:
    bool m_listed = true;
    bool m_save = true;
};
