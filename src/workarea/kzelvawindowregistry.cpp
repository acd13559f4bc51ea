// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvawindowregistry.h"

#include "ikzelvaworkareaowner.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareaserializer.h"
#include "kzelvaworkareastore.h"

#include <isyncsettingsdata.h>
#include <kfuncswitch.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>

#include <QHostInfo>

Q_DECLARE_METATYPE(QPointer<KZelvaWorkAreas>)

KZelvaWindowRegistry::KZelvaWindowRegistry(IKZelvaWorkAreaOwner *owner, KZelvaWorkAreaStore *store, QObject *manager)
    : QObject(manager)
    , m_owner(owner)
    , m_store(store)
    , m_manager(manager)
{
    qRegisterMetaType<QPointer<KZelvaWorkAreas>>("QPointer<KZelvaWorkAreas>");
}

KZelvaWindowRegistry::~KZelvaWindowRegistry() = default;

KZelvaWorkAreas *KZelvaWindowRegistry::workAreasOf(const KZelvaMainWindow *window) const
{
    if (!window)
        return nullptr;
    return window->property(KZelvaWorkAreaKeys::WorkAreasProperty).value<QPointer<KZelvaWorkAreas>>();
}

KZelvaWorkAreas *KZelvaWindowRegistry::createWorkAreasFor(KZelvaMainWindow *window)
{
    if (!window)
        return nullptr;
    if (KZelvaWorkAreas *existing = workAreasOf(window))
        return existing;
    auto *areas = new KZelvaWorkAreas(window, m_manager);
    window->setProperty(KZelvaWorkAreaKeys::WorkAreasProperty, QVariant::fromValue(QPointer<KZelvaWorkAreas>(areas)));
    return areas;
}

void KZelvaWindowRegistry::forgetWorkAreasOf(KZelvaMainWindow *window)
{
    if (window)
        window->setProperty(KZelvaWorkAreaKeys::WorkAreasProperty, QVariant::fromValue(QPointer<KZelvaWorkAreas>()));
}

void KZelvaWindowRegistry::insert(KZelvaWorkArea *workArea)
{
    m_workAreas.insert(workArea->id(), workArea);
    m_removedIds.removeAll(workArea->id());
    Q_EMIT workAreaAdded(workArea);
}

KZelvaWorkArea *KZelvaWindowRegistry::createWorkArea(bool isDefault)
{
    auto *workArea = new KZelvaWorkArea(m_owner, m_store, m_manager);
    const bool numbered = KZelvaWorkAreaDefaultName::isCrossTerminalAvailable(
        krt::product::isFeatureSupported(QLatin1String(KZelvaWorkAreaKeys::CrossTerminalFeature)),
        krt::KPluginsSettings::boolValue(QLatin1String(KZelvaSettingsKeys::PluginGroup),
                                         QLatin1String(KZelvaSettingsKeys::CrossTerminalEntranceVisible), true));
    KZelvaWorkAreaData data = KZelvaWorkAreaDefaultName::newRecord(isDefault, numbered);
    // An id is the second and this process's counter: another process of the
    // user may have stored the same one already; take the next free one.
    const QStringList stored = m_store->workAreaSettings()->childGroups();
    while (m_workAreas.contains(data.id) || stored.contains(data.id))
        data.id = KZelvaWorkAreaIdGenerator::newId();
    data.deviceName = QHostInfo::localHostName();
    // New work areas go to the end of the order.
    for (const QPointer<KZelvaWorkArea> &other : qAsConst(m_workAreas)) {
        if (other)
            data.posIndex = qMax(data.posIndex, other->data().posIndex + 1);
    }
    data.isNewCreate = data.isNewCreate || !isDefault;
    workArea->setData(data);
    workArea->setReady(true);
    if (!isDefault)
        workArea->announceDirty();
    insert(workArea);
    return workArea;
}

KZelvaWorkArea *KZelvaWindowRegistry::restoreWorkArea(const KZelvaWorkAreaData &data)
{
    if (data.id.isEmpty() || m_workAreas.value(data.id))
        return nullptr;
    auto *workArea = new KZelvaWorkArea(m_owner, m_store, m_manager);
    workArea->setData(data);
    workArea->setReady(true);
    insert(workArea);
    workArea->announceDirty();
    return workArea;
}

void KZelvaWindowRegistry::forgetWorkArea(KZelvaWorkArea *workArea)
{
    if (workArea)
        m_workAreas.remove(workArea->id());
}

void KZelvaWindowRegistry::removeWorkArea(KZelvaWorkArea *workArea)
{
    if (!workArea)
        return;
    const bool dropped = m_workAreas.remove(workArea->id()) > 0;
    if (dropped && !workArea->data().forceSave && !m_removedIds.contains(workArea->id()))
        m_removedIds.append(workArea->id());
    if (KZelvaWorkAreas *owner = workArea->owner())
        owner->removeWorkArea(workArea);
    delete workArea;
}

KZelvaWorkArea *KZelvaWindowRegistry::workArea(const QString &id) const
{
    return m_workAreas.value(id);
}

QList<KZelvaWorkArea *> KZelvaWindowRegistry::workAreas() const
{
    QList<KZelvaWorkArea *> result = KZelvaWorkArea::living(m_workAreas);
    std::sort(result.begin(), result.end(), [](KZelvaWorkArea *a, KZelvaWorkArea *b) {
        if (a->data().posIndex != b->data().posIndex)
            return a->data().posIndex < b->data().posIndex;
        if (a->data().createDateTime != b->data().createDateTime)
            return a->data().createDateTime < b->data().createDateTime;
        return a->id() < b->id();
    });
    return result;
}

KZelvaWorkArea *KZelvaWindowRegistry::defaultWorkArea() const
{
    const QString pc = KZelvaWorkAreaDefaultName::pcDeviceType();
    const QList<KZelvaWorkArea *> all = workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->isMarkedClosed() && workArea->data().isDefault && workArea->data().deviceType == pc)
            return workArea;
    }
    return nullptr;
}

KZelvaWorkArea *KZelvaWindowRegistry::workAreaOfPage(const KZelvaSubPage *page) const
{
    if (!page || page->getWorkAreaItemId().isEmpty())
        return nullptr;
    for (const QPointer<KZelvaWorkArea> &workArea : m_workAreas) {
        if (workArea && workArea->findItem(page->getWorkAreaItemId()))
            return workArea;
    }
    return nullptr;
}

void KZelvaWindowRegistry::loadStoredWorkAreas(bool refreshKnown)
{
    ISyncSettingsData *node = m_store->workAreaSettings();
    const QStringList groups = node->childGroups();
    if (refreshKnown) {
        for (KZelvaWorkArea *workArea : workAreas()) {
            if (groups.contains(workArea->id()) || !takesStoredState(workArea))
                continue;
            // Closed by another process, and not shown here: it goes here too.
            m_workAreas.remove(workArea->id());
            workArea->deleteLater();
        }
    }
    for (const QString &group : groups) {
        if (m_removedIds.contains(group) || !KZelvaWorkAreaIdGenerator::checkSettingDataGroupId(group))
            continue;
        KZelvaWorkAreaIdGenerator::noteStoredId(group);
        KZelvaWorkArea *known = m_workAreas.value(group);
        if (known && !(refreshKnown && takesStoredState(known)))
            continue;
        node->beginGroup(group);
        KZelvaWorkAreaData data;
        KZelvaWorkAreaSerializer::UnSerialize(node, &data);
        data.id = group;
        if (known) {
            known->takeStored(data, node);
            node->endGroup();
            continue;
        }
        auto *workArea = new KZelvaWorkArea(m_owner, m_store, m_manager);
        workArea->setData(data);
        workArea->setStoredVisible(node->value(QLatin1String(KZelvaWorkAreaKeys::LastVisible)) == QLatin1String("1"));
        workArea->readItems(node);
        node->endGroup();
        workArea->setReady(true);
        insert(workArea);
    }
}

void KZelvaWindowRegistry::readItemsOf(KZelvaWorkArea *workArea)
{
    ISyncSettingsData *node = m_store->workAreaSettings();
    if (!workArea || !node->childGroups().contains(workArea->id()))
        return;
    node->beginGroup(workArea->id());
    workArea->readItems(node);
    node->endGroup();
}

bool KZelvaWindowRegistry::takesStoredState(const KZelvaWorkArea *workArea) const
{
    // Its next save merges the live state back into what is stored.
    return !workArea->window() && !workArea->owner() && !workArea->isResidual() && !workArea->isMarkedClosed()
           && !m_store->hasPendingSave(workArea);
}

void KZelvaWindowRegistry::savePass()
{
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (workArea && (!workArea->isMarkedClosed() || workArea->data().forceSave))
            workArea->write();
    }
    if (!m_removedIds.isEmpty()) {
        m_store->workAreaSettings()->removeGroups(m_removedIds);
        m_removedIds.clear();
    }
    m_store->flush();
}

void KZelvaWindowRegistry::clear()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    const QList<KZelvaMainWindow *> windows = app ? app->mainWindows() : QList<KZelvaMainWindow *>();
    for (KZelvaMainWindow *window : windows) {
        if (KZelvaWorkAreas *areas = workAreasOf(window))
            areas->deleteLater();
        forgetWorkAreasOf(window);
    }
    const auto all = m_workAreas;
    m_workAreas.clear();
    for (const QPointer<KZelvaWorkArea> &workArea : all)
        delete workArea.data();
    m_removedIds.clear();
}
