// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaoperations.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareaability.h"
#include "kzelvaworkareaface.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"
#include "kzelvawindowregistry.h"

#include <kzelvaapplication.h>
#include <kzelvaclosehandler.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QSharedPointer>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

void refuse(const char *operation, const QString &why)
{
    writeModuleLog(KzLogModule::kWorkArea, 2,
                   QStringLiteral("%1 : refused, %2").arg(QLatin1String(operation), why));
}

QString fileNamePart(const QString &path)
{
    const int cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace

KZelvaWorkAreaOperations::KZelvaWorkAreaOperations(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
}

KZelvaWorkArea *KZelvaWorkAreaOperations::findWorkArea(const QString &id, const char *operation) const
{
    KZelvaWorkArea *workArea = id.isEmpty() ? nullptr : m_manager->workArea(id);
    if (!workArea)
        refuse(operation, QStringLiteral("unknown work area \"%1\"").arg(id.left(64)));
    return workArea;
}

bool KZelvaWorkAreaOperations::isValidColor(const QString &color)
{
    static const QRegularExpression pattern(QStringLiteral("^(#[0-9A-Fa-f]{6}|#[0-9A-Fa-f]{8})?$"));
    return pattern.match(color).hasMatch();
}

QJsonObject KZelvaWorkAreaOperations::workAreaObject(KZelvaWorkArea *workArea, KZelvaMainWindow *window) const
{
    if (!workArea)
        return {};
    const KZelvaWorkAreaData &data = workArea->data();
    QString status = QStringLiteral("none");
    if (workArea->window() && workArea->owner())
        status = workArea->window() == window ? QStringLiteral("current") : QStringLiteral("other");
    QString activeName = data.activeItemName;
    if (KZelvaWorkAreaItem *active = workArea->findItem(data.activeItemId))
        activeName = active->subPage() ? active->subPage()->windowTitle() : active->record().title;
    return {{QStringLiteral("workAreaId"), data.id},
            {QStringLiteral("name"), data.name},
            {QStringLiteral("type"), data.deviceType},
            {QStringLiteral("deviceName"), data.deviceName},
            {QStringLiteral("tagNum"), workArea->itemCount()},
            {QStringLiteral("activeTagName"), activeName},
            {QStringLiteral("customColor"), data.color},
            {QStringLiteral("status"), status},
            {QStringLiteral("isDefault"), data.isDefault},
            {QStringLiteral("isVisible"), workArea->isVisible()}};
}

QJsonArray KZelvaWorkAreaOperations::workAreaList(KZelvaMainWindow *window) const
{
    QJsonArray list;
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->isMarkedClosed())
            list.append(workAreaObject(workArea, window));
    }
    return list;
}

QJsonArray KZelvaWorkAreaOperations::tagList(const QString &workAreaId) const
{
    QJsonArray list;
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "tagList");
    if (!workArea)
        return list;
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    for (KZelvaWorkAreaItem *item : items) {
        const KZelvaWorkAreaRecoverItem &record = item->record();
        KZelvaSubPage *page = item->subPage();
        const QString path = record.filePath;
        list.append(QJsonObject{
            {QStringLiteral("tagId"), item->effectiveId()},
            {QStringLiteral("name"), path.isEmpty() ? record.title : fileNamePart(path)},
            {QStringLiteral("url"), record.extMap.value(QStringLiteral("url")).toString()},
            {QStringLiteral("virtualPath"), QString()},
            {QStringLiteral("path"), path},
            {QStringLiteral("preview"), QString()},
            {QStringLiteral("size"), record.fileSize},
            {QStringLiteral("isActive"), item->effectiveId() == workArea->data().activeItemId},
            {QStringLiteral("type"), record.pageType},
            {QStringLiteral("suffix"), record.suffix},
            {QStringLiteral("isDirty"), page && page->isModified()},
            {QStringLiteral("hasPage"), page != nullptr}});
    }
    return list;
}

QJsonObject KZelvaWorkAreaOperations::createWorkArea(KZelvaMainWindow *window, bool makeCurrent)
{
    if (m_manager->isIndependentMode()) {
        refuse("createWorkArea", QStringLiteral("independent mode"));
        return {};
    }
    if (!window || window->isClosing()) {
        refuse("createWorkArea", QStringLiteral("no usable window"));
        return {};
    }
    KZelvaWorkAreas *areas = m_manager->createWorkAreasFor(window);
    KZelvaWorkArea *workArea = m_manager->createWorkArea(false);
    areas->addWorkArea(workArea);
    if (makeCurrent)
        areas->setCurrentWorkArea(workArea, false, true);
    return workAreaObject(workArea, window);
}

bool KZelvaWorkAreaOperations::renameWorkArea(const QString &workAreaId, const QString &name)
{
    if (m_manager->isIndependentMode())
        return false;
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "renameWorkArea");
    const QString trimmed = name.trimmed();
    if (!workArea)
        return false;
    if (trimmed.isEmpty() || trimmed.size() > MaxNameLength) {
        refuse("renameWorkArea", QStringLiteral("name must have 1 to %1 characters").arg(MaxNameLength));
        return false;
    }
    KZelvaWorkAreaData data = workArea->data();
    data.name = trimmed;
    workArea->setData(data);
    return true;
}

bool KZelvaWorkAreaOperations::renameWorkAreaDevice(const QString &workAreaId, const QString &deviceName)
{
    if (m_manager->isIndependentMode())
        return false;
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "renameWorkAreaDevice");
    const QString trimmed = deviceName.trimmed();
    if (!workArea)
        return false;
    if (trimmed.isEmpty() || trimmed.size() > MaxNameLength) {
        refuse("renameWorkAreaDevice", QStringLiteral("device name must have 1 to %1 characters").arg(MaxNameLength));
        return false;
    }
    KZelvaWorkAreaData data = workArea->data();
    data.deviceName = trimmed;
    workArea->setData(data);
    return true;
}

bool KZelvaWorkAreaOperations::setWorkAreaCustomColor(const QString &workAreaId, const QString &color)
{
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "setWorkAreaCustomColor");
    if (!workArea)
        return false;
    if (!isValidColor(color)) {
        refuse("setWorkAreaCustomColor", QStringLiteral("\"%1\" is not #RRGGBB, #AARRGGBB or empty").arg(color.left(32)));
        return false;
    }
    KZelvaWorkAreaData data = workArea->data();
    data.color = color.toLower();
    workArea->setData(data);
    return true;
}

bool KZelvaWorkAreaOperations::switchWorkArea(KZelvaMainWindow *window, const QString &workAreaId)
{
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "switchWorkArea");
    if (!workArea || !window || window->isClosing()) {
        if (workArea)
            refuse("switchWorkArea", QStringLiteral("no usable window"));
        return false;
    }
    if (workArea->window() && workArea->owner() && workArea->window() != window) {
        // Shown in another window: bring that window forward instead of
        // taking its work area away.
        workArea->window()->showToFront(true, true, false);
        return true;
    }
    KZelvaWorkAreas *areas = m_manager->createWorkAreasFor(window);
    if (!areas->contains(workArea))
        areas->addWorkArea(workArea);
    // Already current is what the caller asked for too.
    return areas->setCurrentWorkArea(workArea, false, true) || areas->currentWorkArea() == workArea;
}

bool KZelvaWorkAreaOperations::moveTags(const QString &workAreaId, const QStringList &tagIds)
{
    KZelvaWorkArea *target = findWorkArea(workAreaId, "moveTags");
    if (!target)
        return false;
    QStringList ids;
    for (const QString &id : tagIds) {
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    if (ids.isEmpty()) {
        refuse("moveTags", QStringLiteral("no tab ids"));
        return false;
    }
    bool all = true;
    for (const QString &id : qAsConst(ids))
        all = moveTag(target, id) && all;
    return all;
}

bool KZelvaWorkAreaOperations::moveTag(KZelvaWorkArea *target, const QString &tagId)
{
    KZelvaWorkArea *source = nullptr;
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (workArea->findItem(tagId)) {
            source = workArea;
            break;
        }
    }
    if (!source) {
        refuse("moveTags", QStringLiteral("unknown tab \"%1\"").arg(tagId.left(64)));
        return false;
    }
    if (source == target)
        return true;
    KZelvaWorkAreaItem *item = source->takeItem(tagId);
    source->announceDirty();
    KZelvaSubPage *page = item->subPage();
    KZelvaMainWindow *targetWindow = target->window();
    if (page && targetWindow && findRelativeZelvaMainWindow(page) != targetWindow) {
        // The page follows its work area into the other window.
        page->moveTo(targetWindow, -1);
        if (KZelvaWorkAreas *areas = m_manager->workAreasOf(targetWindow)) {
            const QList<KZelvaWorkArea *> list = areas->workAreaList();
            for (KZelvaWorkArea *workArea : list)
                workArea->forgetPendingPage(page);
        }
    }
    target->addItem(item);
    if (page) {
        item->attach(page);
        page->setVisible(KZelvaWorkArea::subPageControlType(), target->isVisible() || !targetWindow);
    }
    return true;
}

bool KZelvaWorkAreaOperations::openTag(KZelvaMainWindow *window, const QString &workAreaId, const QString &tagId)
{
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "openTag");
    if (!workArea)
        return false;
    KZelvaWorkAreaItem *item = workArea->findItem(tagId);
    if (!item) {
        refuse("openTag", QStringLiteral("unknown tab \"%1\"").arg(tagId.left(64)));
        return false;
    }
    // A listed tab whose document was closed opens it again.
    if (!item->subPage() && !item->record().filePath.isEmpty() && switchWorkArea(window, workAreaId)) {
        KZelvaWorkAreaRecoverItem record = item->record();
        record.id = tagId;
        KZelvaMainWindow *shown = workArea->window() ? workArea->window() : window;
        if (KZelvaWorkAreaFace::reopenDocument(shown, workArea, record, true))
            return true;
    }
    return KZelvaWorkAreaFace::activeWorkareaItem(workAreaId, tagId, window, false);
}

bool KZelvaWorkAreaOperations::moveWorkAreaTop(const QString &workAreaId)
{
    if (m_manager->isIndependentMode())
        return false;
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "moveWorkAreaTop");
    if (!workArea)
        return false;
    QStringList order;
    order.append(workAreaId);
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *other : all) {
        if (other != workArea)
            order.append(other->id());
    }
    return moveWorkAreas(order);
}

bool KZelvaWorkAreaOperations::moveWorkAreas(const QStringList &workAreaIds)
{
    QList<KZelvaWorkArea *> ordered;
    for (const QString &id : workAreaIds) {
        KZelvaWorkArea *workArea = findWorkArea(id, "moveWorkAreas");
        if (!workArea || ordered.contains(workArea))
            return false;
        ordered.append(workArea);
    }
    if (ordered.isEmpty())
        return false;
    // Work areas left out keep their relative order after the listed ones.
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!ordered.contains(workArea))
            ordered.append(workArea);
    }
    for (int i = 0; i < ordered.size(); ++i) {
        KZelvaWorkAreaData data = ordered.at(i)->data();
        if (data.posIndex != i) {
            data.posIndex = i;
            ordered.at(i)->setData(data);
        }
    }
    return true;
}

bool KZelvaWorkAreaOperations::openNewWindow(const QString &workAreaId)
{
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "openNewWindow");
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!workArea || !app)
        return false;
    KZelvaWorkAreas *previous = workArea->window() ? workArea->owner() : nullptr;
    if (previous && previous->currentWorkArea() == workArea) {
        workArea->window()->showToFront(true, true, false);
        return true;
    }
    KZelvaMainWindow *window = app->createMainWindow(false);
    KZelvaWorkAreas *areas = m_manager->createWorkAreasFor(window);
    if (previous)
        previous->removeWorkArea(workArea);
    areas->addWorkArea(workArea);
    // A work area hidden in another window takes its pages along.
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    for (KZelvaWorkAreaItem *item : items) {
        KZelvaSubPage *page = item->subPage();
        if (!page || findRelativeZelvaMainWindow(page) == window)
            continue;
        page->moveTo(window, -1);
        workArea->forgetPendingPage(page);
    }
    areas->setCurrentWorkArea(workArea, true, true);
    window->showToFront(true, true, false);
    return true;
}

bool KZelvaWorkAreaOperations::removeWorkArea(const QString &workAreaId)
{
    KZelvaWorkArea *workArea = findWorkArea(workAreaId, "removeWorkArea");
    if (!workArea || workArea->isMarkedClosed())
        return false;
    if (workArea->data().isDefault) {
        refuse("removeWorkArea", QStringLiteral("the device's default work area stays"));
        return false;
    }
    if (m_asking.contains(workAreaId)) {
        refuse("removeWorkArea", QStringLiteral("the user is being asked about its unsaved tabs"));
        return false;
    }
    // Unsaved tabs are asked about one at a time through the shell's close
    // protocol (save / discard / cancel); the work area closes once every
    // answer lets it. A cancel leaves everything as it was.
    auto *root = new KZelvaCloseHandler(static_cast<QObject *>(nullptr), this);
    root->setClosesTree(false);
    root->setSelfDoClose(false);
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    for (KZelvaWorkAreaItem *item : items) {
        if (KZelvaSubPage *page = item->subPage(); page && page->isModified()) {
            auto child = QSharedPointer<KZelvaCloseHandler>::create(page);
            child->setSelfDoClose(false);
            root->addChild(child);
        }
    }
    if (root->children().isEmpty()) {
        delete root;
        closeWorkArea(workArea);
        return true;
    }
    m_asking.insert(workAreaId);
    QPointer<KZelvaWorkArea> guard(workArea);
    // Set when the answers came at once (the shell answers for the user, or
    // has nobody to ask): a cancel then fails the call.
    auto cancelledAtOnce = std::make_shared<bool>(false);
    connect(root, &KZelvaCloseHandler::finished, this,
            [this, root, guard, workAreaId, cancelledAtOnce](bool cancelled) {
                root->deleteLater();
                m_asking.remove(workAreaId);
                if (cancelled) {
                    *cancelledAtOnce = true;
                    refuse("removeWorkArea",
                           QStringLiteral("\"%1\" stays: a tab has unsaved changes and its close was cancelled")
                               .arg(workAreaId));
                } else if (guard && !guard->isMarkedClosed()) {
                    closeWorkArea(guard);
                }
            });
    root->start();
    return !*cancelledAtOnce;
}

void KZelvaWorkAreaOperations::closeWorkArea(KZelvaWorkArea *workArea)
{
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    // Kept so the close can be undone: the tabs as they are now, in tab order.
    KZelvaClosedWorkArea closed{workArea->data(), {}, workArea->window()};
    for (KZelvaWorkAreaItem *item : items) {
        item->refresh();
        KZelvaWorkAreaRecoverItem record = item->record();
        record.id = item->effectiveId();
        closed.items.append(record);
    }
    std::stable_sort(
        closed.items.begin(), closed.items.end(),
        [](const KZelvaWorkAreaRecoverItem &a, const KZelvaWorkAreaRecoverItem &b) { return a.tabIndex < b.tabIndex; });
    m_closed.append(closed);
    if (m_closed.size() > MaxClosedKept)
        m_closed.removeFirst();
    KZelvaWorkAreas *areas = workArea->owner();
    KZelvaMainWindow *window = workArea->window();
    if (areas && areas->currentWorkArea() == workArea) {
        KZelvaWorkArea *next = nullptr;
        const QList<KZelvaWorkArea *> siblings = areas->workAreaList();
        for (KZelvaWorkArea *other : siblings) {
            if (other != workArea && !other->isMarkedClosed()) {
                next = other;
                break;
            }
        }
        if (!next) {
            next = m_manager->defaultWorkArea();
            if (next && next->owner() && next->window() && next->window() != window)
                next = nullptr;
        }
        if (!next)
            next = m_manager->createWorkArea(false);
        if (!areas->contains(next))
            areas->addWorkArea(next);
        areas->setCurrentWorkArea(next, false, true);
    }
    for (KZelvaWorkAreaItem *item : items) {
        KZelvaSubPage *page = item->subPage();
        if (KZelvaMainWindow *pageWindow = page ? findRelativeZelvaMainWindow(page) : nullptr)
            pageWindow->closeSubPage(page, true);
    }
    workArea->setMarkedClosed(true);
    // Queued: the manager deletes the work area, which must not happen
    // inside the work area's own event handler.
    connect(workArea, &KZelvaWorkArea::docloseFinished, m_manager, &KZelvaWorkAreaManager::onWorkAreaDoCloseFinished,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    QCoreApplication::postEvent(workArea, new QEvent(QEvent::Type(KZelvaWorkArea::DoCloseEvent)));
}

QString KZelvaWorkAreaOperations::lastClosedWorkAreaName() const
{
    return m_closed.isEmpty() ? QString() : m_closed.last().data.name;
}

bool KZelvaWorkAreaOperations::undoRemoveWorkArea(KZelvaMainWindow *window)
{
    if (m_closed.isEmpty()) {
        refuse("undoRemoveWorkArea", QStringLiteral("no closed work area to bring back"));
        return false;
    }
    KZelvaMainWindow *target = window ? window : m_closed.last().window.data();
    if ((!target || target->isClosing()) && KZelvaApplication::instance())
        target = KZelvaApplication::instance()->currentMainWindow();
    KZelvaWorkAreas *areas = target ? m_manager->workAreasOf(target) : nullptr;
    if (!areas || target->isClosing()) {
        refuse("undoRemoveWorkArea", QStringLiteral("no usable window"));
        return false;
    }
    const KZelvaClosedWorkArea closed = m_closed.takeLast();
    KZelvaWorkArea *workArea = m_manager->registry()->restoreWorkArea(closed.data);
    if (!workArea) {
        refuse("undoRemoveWorkArea", QStringLiteral("\"%1\" is open already").arg(closed.data.id));
        return false;
    }
    areas->addWorkArea(workArea);
    areas->setCurrentWorkArea(workArea, true, true);
    KZelvaSubPage *active = nullptr;
    int reopened = 0;
    for (const KZelvaWorkAreaRecoverItem &record : closed.items) {
        // A document that never reached a file, or whose file went, has nothing to reopen.
        KZelvaSubPage *page = KZelvaWorkAreaFace::reopenDocument(target, workArea, record, false);
        if (!page) {
            logWorkArea(0, QStringLiteral("undoRemoveWorkArea : tab \"%1\" not reopened, no file").arg(record.title));
            continue;
        }
        ++reopened;
        if (record.id == closed.data.activeItemId)
            active = page;
    }
    if (active)
        active->activate();
    logWorkArea(0, QStringLiteral("undoRemoveWorkArea : \"%1\" back with %2 of %3 tabs")
                       .arg(closed.data.id)
                       .arg(reopened)
                       .arg(closed.items.size()));
    return true;
}

#include "moc_kzelvaworkareaoperations.cpp"
