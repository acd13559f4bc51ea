// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareamenuactionmanager.h"

#include "kzelvaworkarea.h"
#include "kzelvadpi.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareatabmenuinfocollectter.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvamenu.h>
#include <kzelvapluginwidget.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvaworkareadata.h>

#include <QAction>
#include <QCursor>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr char kSrcWorkAreaId[] = "srcWorkAreaId";
constexpr char kSrcWorkAreaItemId[] = "srcWorkAreaItemId";
constexpr char kRelativeWorkAreaId[] = "relativeWorkAreaId";
constexpr char kDesWorkAreaId[] = "desWorkAreaId";
// The host UI kit's test name of a widget or action.
constexpr char kSpyName[] = "spyName";
// Set by the host on a sub page shown in the application's open-preview mode.
constexpr char kOpenPreviewMode[] = "openPreviewMode";
constexpr char kBlockAutoClose[] = "isBlockAutoCloseMainWindow";
constexpr int kSubmenuStyle = 2;
constexpr int kEntryTitleWidth = 100;
constexpr int kUnlockFocusDelayMs = 100;
constexpr int kLoggedIdLength = 64;

QIcon workAreaIcon()
{
    // The host's icon theme provides "workArea"; the drawn one stands in without it.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x4a, 0x6c, 0xf7), 1.5));
    painter.drawRoundedRect(QRectF(1.5, 3.5, 9, 9), 2, 2);
    painter.drawRoundedRect(QRectF(5.5, 1.5, 9, 9), 2, 2);
    painter.end();
    return QIcon::fromTheme(QStringLiteral("workArea"), QIcon(pixmap));
}

void setIds(QAction *action, const QString &source, const QString &item, const QString &relative)
{
    action->setProperty(kSrcWorkAreaId, source);
    action->setProperty(kSrcWorkAreaItemId, item);
    action->setProperty(kRelativeWorkAreaId, relative);
}

void name(QAction *action, const QString &objectName, const QString &spyName)
{
    action->setObjectName(objectName);
    action->setProperty(kSpyName, spyName);
}

QString shortId(const QString &id)
{
    return id.left(kLoggedIdLength);
}

struct ActionIds
{
    QString source;
    QString item;
    QString relative;
    QString destination;
};

ActionIds idsOf(const QObject *sender)
{
    if (!sender)
        return {};
    return {sender->property(kSrcWorkAreaId).toString(), sender->property(kSrcWorkAreaItemId).toString(),
            sender->property(kRelativeWorkAreaId).toString(), sender->property(kDesWorkAreaId).toString()};
}

// The extra usage-event fields of a tab's menu.
QMap<QString, QString> menuFields(const KZelvaWorkAreaRecoverItem &record)
{
    return {{QStringLiteral("file_type"), record.pageType < 0 ? QString()
                                              : convertWidgetType(KZelvaPluginWidget::WidgetType(record.pageType))},
            {QStringLiteral("suffix"), record.suffix}};
}

KZelvaMainWindow *windowOfTab(const KZelvaTab *tab)
{
    if (!tab)
        return nullptr;
    if (KZelvaSubPage *page = tab->subPage())
        return findRelativeZelvaMainWindow(page);
    return tab->tabBar() ? findRelativeZelvaMainWindow(tab->tabBar()) : nullptr;
}

} // namespace

namespace {
// The live menu action manager (one per manager), or null.
KZelvaWorkAreaMenuActionManager *g_menus = nullptr;
} // namespace

KZelvaWorkAreaMenuActionManager::KZelvaWorkAreaMenuActionManager(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
    , m_collector(new KZelvaWorkAreaTabMenuInfoCollectter(this))
{
    g_menus = this;
}

KZelvaWorkAreaMenuActionManager::~KZelvaWorkAreaMenuActionManager()
{
    if (g_menus == this)
        g_menus = nullptr;
}

KZelvaWorkAreaMenuActionManager *KZelvaWorkAreaMenuActionManager::instance()
{
    return g_menus;
}

KZelvaWorkArea *KZelvaWorkAreaMenuActionManager::relativeWorkAreaOf(KZelvaMainWindow *window) const
{
    KZelvaWorkAreas *areas = window ? m_manager->workAreasOf(window) : nullptr;
    return areas ? areas->currentWorkArea() : nullptr;
}

KZelvaWorkAreaOperations *KZelvaWorkAreaMenuActionManager::operations() const
{
    // Made by the manager's initialisation, after this object.
    return m_manager->findChild<KZelvaWorkAreaOperations *>(QString(), Qt::FindDirectChildrenOnly);
}

KZelvaMainWindow *KZelvaWorkAreaMenuActionManager::windowFor(const QString &relativeWorkAreaId,
                                                             KZelvaWorkArea *fallback) const
{
    if (KZelvaWorkArea *relative = m_manager->workArea(relativeWorkAreaId); relative && relative->window())
        return relative->window();
    if (fallback && fallback->window())
        return fallback->window();
    KZelvaApplication *app = KZelvaApplication::instance();
    return app ? app->currentMainWindow() : nullptr;
}

QString KZelvaWorkAreaMenuActionManager::titleWithoutExtension(const QString &title)
{
    const int dot = title.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return title;
    int end = dot + 1;
    while (end < title.size() && title.at(end) != QLatin1Char(' ') && title.at(end) != QLatin1Char('\t'))
        ++end;
    return title.left(dot) + title.mid(end);
}

QString KZelvaWorkAreaMenuActionManager::entryText(const KZelvaWorkArea *workArea, bool panelEnabled,
                                                   const QFontMetrics &metrics, int maxWidth)
{
    if (!workArea)
        return QString();
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    if (!panelEnabled || items.isEmpty())
        return workArea->data().name;
    // The active tab leads; a work area whose active tab is gone shows its first one.
    KZelvaWorkAreaItem *leading = workArea->findItem(workArea->data().activeItemId);
    if (!leading)
        leading = items.first();
    KZelvaSubPage *page = leading->subPage();
    const QString title = titleWithoutExtension(page ? page->windowTitle() : leading->record().title);
    QString text = metrics.elidedText(title, Qt::ElideRight, maxWidth);
    const int further = items.size() - 1;
    if (further == 1)
        text += tr(" and 1 tab");
    else if (further > 1)
        text += tr(" and %1 tabs").arg(further);
    return text;
}

bool KZelvaWorkAreaMenuActionManager::addTabMenuPostInfo(KZelvaMenu *menu, KZelvaTab *tab, const QVariantMap &map)
{
    if (!menu || !tab)
        return false;
    if (!relativeWorkAreaOf(windowOfTab(tab))) {
        writeLog(1, QStringLiteral("failed to addTabMenuPostInfo, curRelativeWorkArea empty"));
        return false;
    }
    if (!m_collector) {
        writeLog(1, QStringLiteral("failed to addTabMenuPostInfo, menuInfoCollet is null"));
        return false;
    }
    KZelvaWorkAreaRecoverItem record;
    KZelvaSubPage *page = tab->subPage();
    KZelvaWorkArea *workArea = m_manager->workAreaOfPage(page);
    if (KZelvaWorkAreaItem *item = workArea ? workArea->findItem(page->getWorkAreaItemId()) : nullptr)
        record = item->record();
    if (record.pageType < 0 && page)
        page->getRecoverItem(&record);
    QMap<QString, QString> fields = menuFields(record);
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        fields.insert(it.key(), it.value().toString());
    m_collector->attach(menu);
    m_collector->setExtraFields(fields);
    return true;
}

void KZelvaWorkAreaMenuActionManager::addTabMenuWorkAreaAction(KZelvaMenu *menu, KZelvaTab *tab,
                                                               const QVariantMap &map)
{
    if (!menu || !tab || !tab->subPage())
        return;
    KZelvaSubPage *page = tab->subPage();
    KZelvaWorkArea *relative = relativeWorkAreaOf(windowOfTab(tab));
    if (!relative) {
        writeLog(0, QStringLiteral("addTabMenuWorkAreaAction curRelativeWorkArea empty"));
        return;
    }
    addTabMenuPostInfo(menu, tab, map);
    KZelvaWorkArea *source = m_manager->workAreaOfPage(page);
    if (!source) {
        // Pages of excluded types (start page, settings ...) belong to no work area.
        writeLog(0, QStringLiteral("addTabMenuWorkAreaAction tab \"%1\" belongs to no work area")
                        .arg(page->windowTitle().left(kLoggedIdLength)));
        return;
    }
    addWorkAreaSubmenu(menu, source, page->getWorkAreaItemId(), relative, page);
}

void KZelvaWorkAreaMenuActionManager::addWorkAreaSubmenu(KZelvaMenu *menu, KZelvaWorkArea *source,
                                                         const QString &itemId, KZelvaWorkArea *relative,
                                                         KZelvaSubPage *page)
{
    const bool panel = m_manager->isTabManagerPanelEnabled();
    const QString sourceId = source->id();
    const QString relativeId = relative->id();

    auto *submenu = new KZelvaMenu(menu, kSubmenuStyle);
    QAction *submenuAction = submenu->menuAction();
    submenuAction->setText(panel ? tr("Move Tabs To") : tr("Move to workArea"));
    submenuAction->setIcon(workAreaIcon());
    name(submenuAction, QStringLiteral("moveToWorkAreaMenuAction"), QStringLiteral("tabMenu_moveToWorkArea"));
    setIds(submenuAction, sourceId, itemId, relativeId);

    QAction *newWindow = submenu->addAction(panel ? tr("New Window") : tr("createWorkArea"));
    name(newWindow, QStringLiteral("createWorkAreaAction"), QStringLiteral("tabMenu_createWorkArea"));
    setIds(newWindow, sourceId, itemId, relativeId);
    connect(newWindow, &QAction::triggered, this, &KZelvaWorkAreaMenuActionManager::onCreateAreaItemTrigger);

    const QFontMetrics metrics(submenu->font());
    const int titleWidth = kzDpiScaled(kEntryTitleWidth, submenu);
    const QList<KZelvaWorkArea *> all = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (workArea == source || workArea->isMarkedClosed())
            continue;
        const int position = submenu->actions().size();
        QAction *entry = submenu->addAction(entryText(workArea, panel, metrics, titleWidth));
        name(entry, QStringLiteral("moveToWorkAreaAction"), QStringLiteral("tabMenu_workArea_%1").arg(position));
        setIds(entry, sourceId, itemId, relativeId);
        entry->setProperty(kDesWorkAreaId, workArea->id());
        connect(entry, &QAction::triggered, this, &KZelvaWorkAreaMenuActionManager::onWorkAreaItemTrigger);
        connect(entry, &QAction::hovered, this, &KZelvaWorkAreaMenuActionManager::onWorkAreaItemHover);
    }

    menu->addAction(submenuAction);
    if (page && page->property(kOpenPreviewMode).toBool())
        submenuAction->setEnabled(false);
}

KZelvaMenu *KZelvaWorkAreaMenuActionManager::createTagMenu(KZelvaMainWindow *window, const QString &workAreaId,
                                                           const QString &tagId, QWidget *parent, const QPoint &at)
{
    KZelvaWorkArea *workArea = workAreaId.isEmpty() ? nullptr : m_manager->workArea(workAreaId);
    KZelvaWorkAreaItem *item = workArea && !tagId.isEmpty() ? workArea->findItem(tagId) : nullptr;
    if (!item) {
        writeLog(1, QStringLiteral("popupMenu : workAreaId = %1, tagId = %2 not exist")
                        .arg(shortId(workAreaId), shortId(tagId)));
        return nullptr;
    }
    if (KZelvaSubPage *page = item->subPage(); page && page->getTab()) {
        page->getTab()->popupMenu(at);
        return nullptr;
    }
    KZelvaWorkArea *relative = relativeWorkAreaOf(window);
    if (!relative) {
        writeLog(0, QStringLiteral("addTabMenuWorkAreaAction curRelativeWorkArea empty"));
        return nullptr;
    }
    auto *menu = new KZelvaMenu(parent);
    QAction *open = menu->addAction(tr("Open"));
    name(open, QStringLiteral("openAction"), QStringLiteral("tabMenu_open"));
    setIds(open, workAreaId, tagId, relative->id());
    connect(open, &QAction::triggered, this, &KZelvaWorkAreaMenuActionManager::onOpenActionTrigger);
    QAction *close = menu->addAction(tr("Close"));
    name(close, QStringLiteral("closeAction"), QStringLiteral("tabMenu_close"));
    setIds(close, workAreaId, tagId, relative->id());
    connect(close, &QAction::triggered, this, &KZelvaWorkAreaMenuActionManager::onCloseActionTrigger);

    // A listed tab without a page has no tab to take its extra fields from.
    m_collector->attach(menu);
    m_collector->setExtraFields(menuFields(item->record()));
    addWorkAreaSubmenu(menu, workArea, tagId, relative, nullptr);
    return menu;
}

bool KZelvaWorkAreaMenuActionManager::popupMenu(KZelvaMainWindow *window, const QString &workAreaId,
                                                const QString &tagId, QWidget *parent, const QRect &anchor)
{
    const QPoint at = anchor.isValid() ? anchor.bottomLeft() + QPoint(0, 1) : QCursor::pos();
    KZelvaMenu *menu = createTagMenu(window, workAreaId, tagId, parent, at);
    if (!menu)
        return false;
    // The actions' triggered() runs before the deferred delete.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(at);
    return true;
}

void KZelvaWorkAreaMenuActionManager::onWorkAreaItemTrigger()
{
    const ActionIds ids = idsOf(sender());
    if (ids.source.isEmpty() || ids.item.isEmpty() || ids.destination.isEmpty() || ids.relative.isEmpty())
        return;
    if (KZelvaWorkAreaOperations *ops = operations())
        ops->moveTags(ids.destination, {ids.item});
}

void KZelvaWorkAreaMenuActionManager::onWorkAreaItemHover()
{
}

void KZelvaWorkAreaMenuActionManager::onCreateAreaItemTrigger()
{
    const ActionIds ids = idsOf(sender());
    KZelvaWorkArea *source = ids.source.isEmpty() ? nullptr : m_manager->workArea(ids.source);
    KZelvaWorkAreaItem *item = source && !ids.item.isEmpty() ? source->findItem(ids.item) : nullptr;
    if (!item) {
        writeLog(1, QStringLiteral("%1, srcWorkAreaId: %2, srcWorkAreaItemId: %3, relativeWorkAreaId: %4 not exist")
                        .arg(QStringLiteral("onCreateAreaItemTrigger"), shortId(ids.source), shortId(ids.item),
                             shortId(ids.relative)));
        return;
    }
    KZelvaSubPage *page = item->subPage();
    KZelvaMainWindow *sourceWindow = page ? findRelativeZelvaMainWindow(page) : nullptr;
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!sourceWindow || !app) {
        writeLog(1, QStringLiteral("onCreateAreaItemTrigger : srcWorkAreaItemId: %1 has no open tab")
                        .arg(shortId(ids.item)));
        return;
    }
    // The plug-in sets the new window up itself, as for a window the host announces.
    KZelvaMainWindow *window = app->createMainWindow(false);
    m_manager->notifyMainWindowAdd(window);
    KZelvaTabBar *tabBar = window->tabBar();

    sourceWindow->setLockFocusInCurrentPage(true);
    QTimer::singleShot(kUnlockFocusDelayMs, sourceWindow, [sourceWindow] {
        sourceWindow->setLockFocusInCurrentPage(false);
    });
    page->setProperty(kBlockAutoClose, true);
    const bool moved = page->moveTo(window, -1);
    page->setProperty(kBlockAutoClose, false);
    if (!moved || !tabBar || tabBar->indexOf(page->getTab()) < 0)
        writeLog(1, QStringLiteral("onCreateAreaItemTrigger : srcWorkAreaItemId: %1 could not move")
                        .arg(shortId(ids.item)));
    window->showToFront(true, true, false);
}

void KZelvaWorkAreaMenuActionManager::onOpenActionTrigger()
{
    const ActionIds ids = idsOf(sender());
    writeLog(0, QStringLiteral("%1 : workAreaId = %2, tagId = %3")
                    .arg(QStringLiteral("void KZelvaWorkAreaMenuActionManager::onOpenActionTrigger()"),
                         shortId(ids.source), shortId(ids.item)));
    if (ids.source.isEmpty() || ids.item.isEmpty() || ids.relative.isEmpty())
        return;
    KZelvaWorkAreaOperations *ops = operations();
    if (!ops)
        return;
    ops->openTag(windowFor(ids.relative, m_manager->workArea(ids.source)), ids.source, ids.item);
}

void KZelvaWorkAreaMenuActionManager::onCloseActionTrigger()
{
    const ActionIds ids = idsOf(sender());
    if (ids.source.isEmpty() || ids.item.isEmpty() || ids.relative.isEmpty())
        return;
    KZelvaWorkArea *workArea = m_manager->workArea(ids.source);
    KZelvaWorkAreaItem *item = workArea ? workArea->findItem(ids.item) : nullptr;
    if (!item) {
        writeLog(1, QStringLiteral("onCloseActionTrigger : workAreaId = %1, tagId = %2 not exist")
                        .arg(shortId(ids.source), shortId(ids.item)));
        return;
    }
    if (KZelvaSubPage *page = item->subPage(); page && page->getTab()) {
        // The host's close protocol may ask about unsaved changes; the
        // work area follows the page's removal.
        page->getTab()->tryClose();
        return;
    }
    workArea->onItemQueryDestroy(ids.item);
}

#include "moc_kzelvaworkareamenuactionmanager.cpp"
