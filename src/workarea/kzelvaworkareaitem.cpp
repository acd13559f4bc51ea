// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaitem.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareaitemability.h"
#include "ikzelvaworkareaowner.h"
#include "kzelvaworkareahelper.h"

#include <kfuncswitch.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>

namespace {
constexpr char kReadingModeSwitch[] = "QozCloudDocReadingMode";
}

KZelvaWorkAreaItem::KZelvaWorkAreaItem(IKZelvaWorkAreaOwner *manager)
    : QObject(manager ? manager->itemParent() : nullptr)
    , m_manager(manager)
    , m_ability(new KZelvaWorkAreaItemAbility(this))
    , m_creationTime(QDateTime::currentMSecsSinceEpoch())
    , m_lastActivationTime(m_creationTime)
{
}

KZelvaWorkAreaItem::~KZelvaWorkAreaItem() = default;

QString KZelvaWorkAreaItem::effectiveId() const
{
    return m_page ? m_page->getWorkAreaItemId() : m_record.id;
}

KZelvaSubPage *KZelvaWorkAreaItem::subPage() const
{
    return m_page;
}

KZelvaWorkArea *KZelvaWorkAreaItem::workArea() const
{
    return m_workArea;
}

void KZelvaWorkAreaItem::setWorkArea(KZelvaWorkArea *workArea)
{
    m_workArea = workArea;
}

void KZelvaWorkAreaItem::detachFromPage()
{
    if (!m_page)
        return;
    disconnect(m_page, nullptr, this, nullptr);
}

void KZelvaWorkAreaItem::attach(KZelvaSubPage *page)
{
    detachFromPage();
    m_page = page;
    if (!page)
        return;
    if (auto *doc = qobject_cast<KZelvaQozSubPage *>(page)) {
        connect(doc, &KZelvaQozSubPage::newDocumentFinished, this, &KZelvaWorkAreaItem::onOpenFinished);
        connect(doc, &KZelvaQozSubPage::openFilesFinished, this, &KZelvaWorkAreaItem::onOpenFinished);
        connect(doc, &KZelvaQozSubPage::sigDocPathChanged, this, &KZelvaWorkAreaItem::onDocPathChanged);
        connect(doc, &KZelvaQozSubPage::docInfoUpdated, this, &KZelvaWorkAreaItem::onQueryDocInfoUpdated);
        connect(doc, &KZelvaQozSubPage::afterSave, this, &KZelvaWorkAreaItem::onAfterSave);
    }
    connect(page, &KZelvaSubPage::beforeActivated, this, &KZelvaWorkAreaItem::onSubPageBeforeActivate);
    connect(page, &KZelvaSubPage::activated, this, &KZelvaWorkAreaItem::onSubPageActivated);
    connect(page, &QObject::destroyed, this, &KZelvaWorkAreaItem::onSubPageDestroy);
    connect(page, &QWidget::windowTitleChanged, this, &KZelvaWorkAreaItem::onWindowTitleChanged);
    if (krt::product::getFuncSwitchState(QLatin1String(kReadingModeSwitch)))
        connect(page, &KZelvaSubPage::sigCloudFileOnReadingModeChanged, this,
                &KZelvaWorkAreaItem::onCloudFileOnReadingModeChanged);
    if (m_delayActivate) {
        m_delayActivate = false;
        page->activate();
        writeModuleLog(KzLogModule::kWorkArea, 0,
                       QStringLiteral("%1 : subPage title: %2, dalay active subPage")
                           .arg(QStringLiteral("void KZelvaWorkAreaItem::attach(KZelvaSubPage *)"),
                                page->windowTitle()));
    }
}

void KZelvaWorkAreaItem::refresh()
{
    if (!m_manager || !m_page)
        return;
    KZelvaMainWindow *pageWindow = findRelativeZelvaMainWindow(m_page);
    const bool sameWindow = !m_workArea || m_workArea->window() == pageWindow;

    KZelvaWorkAreaRecoverItem record = m_record;
    const bool described = m_page->getRecoverItem(&record);
    if (!sameWindow || !described)
        record.tabIndex = -1;
    if (m_manager->isCrashMode())
        record.bCrash = true;
    if (record.extMap.value(QStringLiteral("isOleDocument")).toBool())
        m_ability->setSaveEnabled(false);
    const int cut = qMax(record.title.lastIndexOf(QLatin1Char('/')), record.title.lastIndexOf(QLatin1Char('\\')));
    if (cut >= 0)
        record.title = record.title.mid(cut + 1);
    m_record = record;
    m_waitingForPage = false;

    const QString id = effectiveId();
    if (m_record.bLock)
        m_manager->keepLockedItem(id, this);
    else
        m_manager->dropLockedItem(id);
}

void KZelvaWorkAreaItem::postDeferredRefresh()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(DeferredRefreshEvent)));
}

void KZelvaWorkAreaItem::onSubPageActivated()
{
    if (sender() != m_page || !m_page)
        return;
    KZelvaMainWindow *window = findRelativeZelvaMainWindow(m_page);
    if (window && window->centralArea()->currentSubPage() == m_page)
        Q_EMIT activated(this);
}

void KZelvaWorkAreaItem::onSubPageBeforeActivate()
{
    if (sender() != m_page || !m_page)
        return;
    KZelvaMainWindow *window = findRelativeZelvaMainWindow(m_page);
    if (window && window->centralArea()->subPages().contains(m_page))
        Q_EMIT beforeActivate(this);
}

void KZelvaWorkAreaItem::onSubPageDestroy(QObject *)
{
    const QString id = m_record.id;
    if (m_manager)
        m_manager->offerResidualItem(this);
    Q_EMIT queryDestroy(id);
}

void KZelvaWorkAreaItem::onOpenFinished()
{
    Q_EMIT delayUpdateCacheFinished(effectiveId());
}

void KZelvaWorkAreaItem::onQueryDocInfoUpdated(const QMap<QString, QString> &)
{
    refresh();
}

void KZelvaWorkAreaItem::onAfterSave(bool, const QString &)
{
    refresh();
}

void KZelvaWorkAreaItem::onWindowTitleChanged(const QString &)
{
    refresh();
    Q_EMIT persistCache();
}

void KZelvaWorkAreaItem::onDocPathChanged()
{
    refresh();
    Q_EMIT persistCache();
}

void KZelvaWorkAreaItem::onCloudFileOnReadingModeChanged(bool)
{
    if (!krt::product::getFuncSwitchState(QLatin1String(kReadingModeSwitch)))
        return;
    refresh();
    Q_EMIT persistCache();
}

bool KZelvaWorkAreaItem::event(QEvent *event)
{
    if (event->type() == QEvent::Type(DeferredRefreshEvent))
        Q_EMIT delayUpdateCacheFinished(effectiveId());
    return QObject::event(event);
}
