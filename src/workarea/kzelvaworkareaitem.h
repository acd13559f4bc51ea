// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkareastorestate.h"

#include <QMap>
#include <QObject>
#include <QPointer>

class IKZelvaWorkAreaOwner;
class KZelvaSubPage;
class KZelvaWorkArea;
class KZelvaWorkAreaItemAbility;

/*
 * One entry of a work area: normally one tab (a host sub page), or a
 * document whose tab is gone. Holds the record that is stored for it and
 * follows its page's signals. Created with the manager (its owner, seen
 * through IKZelvaWorkAreaOwner) as parent, owned by
 * its work area's item hash, deleted by the work area after queryDestroy().
 * GUI thread.
 */
class KZelvaWorkAreaItem : public QObject
{
    Q_OBJECT
public:
    static constexpr int DeferredRefreshEvent = 0x8131;

    explicit KZelvaWorkAreaItem(IKZelvaWorkAreaOwner *manager);
    ~KZelvaWorkAreaItem() override;

    const KZelvaWorkAreaRecoverItem &record() const { return m_record; }
    void setRecord(const KZelvaWorkAreaRecoverItem &record) { m_record = record; }
    // What the item's sub-group was last written with (kept for the serialiser).
    const std::shared_ptr<KZelvaWorkAreaStoreState::Written> &written() const { return m_written; }
    // The sub page's work-area item id while it has a live page, else record().id.
    QString effectiveId() const;

    KZelvaSubPage *subPage() const;
    KZelvaWorkArea *workArea() const;
    void setWorkArea(KZelvaWorkArea *workArea);
    KZelvaWorkAreaItemAbility *ability() const { return m_ability; }

    bool isDelayActivate() const { return m_delayActivate; }
    void setDelayActivate(bool on) { m_delayActivate = on; }
    // Off for a document a closing window does not keep (its closed tab
    // leaves no residual entry either).
    bool saveFlag() const { return m_saveFlag; }
    void setSaveFlag(bool on) { m_saveFlag = on; }
    // True from the creation for a new page until its record was first filled.
    bool isWaitingForPage() const { return m_waitingForPage; }
    void setWaitingForPage(bool on) { m_waitingForPage = on; }
    qint64 creationTime() const { return m_creationTime; }
    qint64 lastActivationTime() const { return m_lastActivationTime; }
    void setLastActivationTime(qint64 msecs) { m_lastActivationTime = msecs; }

    void attach(KZelvaSubPage *page);
    // Updates the record from the live page.
    void refresh();
    void postDeferredRefresh();

Q_SIGNALS:
    void beforeActivate(KZelvaWorkAreaItem *item);
    void activated(KZelvaWorkAreaItem *item);
    void queryDestroy(const QString &id);
    void delayUpdateCacheFinished(const QString &id);
    void residualItemAddRequest(const QString &id);
    void persistCache();

public Q_SLOTS:
    void onSubPageActivated();
    void onSubPageBeforeActivate();
    void onSubPageDestroy(QObject *page);
    void onOpenFinished();
    void onQueryDocInfoUpdated(const QMap<QString, QString> &info);
    void onAfterSave(bool ok, const QString &path);
    void onWindowTitleChanged(const QString &title);
    void onDocPathChanged();
    void onCloudFileOnReadingModeChanged(bool on);

protected:
    bool event(QEvent *event) override;

private:
    void detachFromPage();

    IKZelvaWorkAreaOwner *m_manager;
    KZelvaWorkAreaRecoverItem m_record;
    std::shared_ptr<KZelvaWorkAreaStoreState::Written> m_written =
        std::make_shared<KZelvaWorkAreaStoreState::Written>();
    QPointer<KZelvaSubPage> m_page;
    QPointer<KZelvaWorkArea> m_workArea;
    KZelvaWorkAreaItemAbility *m_ability;
    bool m_delayActivate = false;
    bool m_saveFlag = true;
    bool m_waitingForPage = false;
    qint64 m_creationTime;
    qint64 m_lastActivationTime;
};
