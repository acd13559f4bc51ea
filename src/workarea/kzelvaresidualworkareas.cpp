// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaresidualworkareas.h"

#include "kzelvaresidualrecords.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"

KZelvaResidualWorkAreas::KZelvaResidualWorkAreas(KZelvaWorkAreaManager *manager, KZelvaResidualRecords *records)
    : QObject(manager)
    , m_manager(manager)
    , m_records(records)
{
    if (!records)
        return;
    records->setResidualWorkAreas(this);
    connect(records, &KZelvaResidualRecords::residualChanged, this, &KZelvaResidualWorkAreas::onResidualChanged);
}

KZelvaResidualWorkAreas::~KZelvaResidualWorkAreas()
{
    if (m_records)
        m_records->setResidualWorkAreas(nullptr);
}

KZelvaWorkArea *KZelvaResidualWorkAreas::liveResidualWorkArea(const QString &residualId) const
{
    return m_workAreas.value(residualId);
}

QList<KZelvaWorkArea *> KZelvaResidualWorkAreas::residualWorkAreas() const
{
    return KZelvaWorkArea::living(m_workAreas);
}

KZelvaWorkArea *KZelvaResidualWorkAreas::residualWorkArea(const QString &residualId)
{
    if (KZelvaWorkArea *live = liveResidualWorkArea(residualId))
        return live;
    if (residualId.isEmpty() || !m_records)
        return nullptr;
    auto *workArea = new KZelvaWorkArea(m_manager, m_manager->store(), m_manager);
    workArea->setResidual(true, residualId);
    if (!readInto(workArea, residualId)) {
        writeLog(2, QStringLiteral("%1, residualId: %2 has no record, no residual work area")
                        .arg(QStringLiteral("getResidualWorkArea"), residualId));
        delete workArea;
        return nullptr;
    }
    writeLog(0, QStringLiteral("%1, residualId: %2, workAreaId: %3, itemCount: %4")
                    .arg(QStringLiteral("getResidualWorkArea"), residualId, workArea->id())
                    .arg(workArea->itemCount()));
    m_workAreas.insert(residualId, workArea);
    return workArea;
}

bool KZelvaResidualWorkAreas::readInto(KZelvaWorkArea *workArea, const QString &residualId)
{
    KZelvaWorkAreaData data;
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (!m_records || !m_records->readRecord(residualId, &data, &items))
        return false;
    workArea->takeStoredRecords(data, items);
    return true;
}

int KZelvaResidualWorkAreas::residualWorkAreaMode(const QString &residualId) const
{
    const KZelvaWorkArea *workArea = liveResidualWorkArea(residualId);
    return workArea ? workArea->mode() : -1;
}

void KZelvaResidualWorkAreas::deleteWindowResidualWorkArea(const QString &residualId)
{
    KZelvaWorkArea *workArea = m_workAreas.take(residualId);
    if (!workArea)
        return;
    writeLog(0, QStringLiteral("%1, residualId: %2, workAreaId: %3")
                    .arg(QStringLiteral("deleteWindowResidualWorkArea"), residualId, workArea->id()));
    // It may be the sender of what led here.
    workArea->deleteLater();
}

void KZelvaResidualWorkAreas::onResidualChanged(const QString &residualId)
{
    KZelvaWorkArea *workArea = liveResidualWorkArea(residualId);
    // A record written again is read again; one that is gone takes its work area.
    if (workArea && !readInto(workArea, residualId))
        deleteWindowResidualWorkArea(residualId);
}

#include "moc_kzelvaresidualworkareas.cpp"
