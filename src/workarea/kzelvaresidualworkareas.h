// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvaresidualworkareas.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class KZelvaResidualRecords;
class KZelvaWorkArea;
class KZelvaWorkAreaManager;

/*
 * The residual work areas of closed windows: one KZelvaWorkArea per residual
 * record ("default" or a closed window's residual id), marked residual with
 * that id, made when first asked for from what the record holds, with one
 * item (without page) per stored tab. They follow their record: a write of
 * it is read again, a deletion deletes the work area. They are never
 * written into the "workarea" record; the residual records write theirs.
 * A child of the manager, registered with its residual records. GUI thread.
 */
class KZelvaResidualWorkAreas : public QObject, public IKZelvaResidualWorkAreas
{
    Q_OBJECT
public:
    KZelvaResidualWorkAreas(KZelvaWorkAreaManager *manager, KZelvaResidualRecords *records);
    ~KZelvaResidualWorkAreas() override;

    // The live residual work area of `residualId`, made from its record when
    // there is none yet; null when no such record is stored.
    KZelvaWorkArea *residualWorkArea(const QString &residualId);
    // The live one only (null when none was made or it was deleted).
    KZelvaWorkArea *liveResidualWorkArea(const QString &residualId) const;
    QList<KZelvaWorkArea *> residualWorkAreas() const;

    int residualWorkAreaMode(const QString &residualId) const override;
    void deleteWindowResidualWorkArea(const QString &residualId) override;

private Q_SLOTS:
    void onResidualChanged(const QString &residualId);

private:
    bool readInto(KZelvaWorkArea *workArea, const QString &residualId);

    KZelvaWorkAreaManager *m_manager;
    QPointer<KZelvaResidualRecords> m_records;
    QHash<QString, QPointer<KZelvaWorkArea>> m_workAreas;
};
