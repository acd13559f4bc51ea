// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

class IKZelvaWorkAreaOwner;
class ISyncSettingsData;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWorkAreaAbility;
class KZelvaWorkAreaItem;
class KZelvaWorkAreaStore;
class KZelvaWorkAreas;
class KZelvaWorkareaBlocker;

/*
 * A named group of a window's tabs. All work areas of a window share its tab
 * bar: the current one's sub pages are shown, the others' are hidden through
 * the "workareaSubPage" visibility control, no tab is closed or moved.
 * Follows the window's tab and sub-page signals to keep its items in step,
 * and asks its store for a merged write after a change.
 *
 * Created by the manager (its parent, and the owner it asks about modes and
 * leaving items) with the store it is written to; added to a window's
 * KZelvaWorkAreas, deleted by the manager when it is closed or the manager
 * goes. Owns its items, blockers and ability. GUI thread.
 */
class KZelvaWorkArea : public QObject
{
    Q_OBJECT
public:
    static constexpr int QueryCloseEvent = 33069;
    static constexpr int DoCloseEvent = 33070;

    KZelvaWorkArea(IKZelvaWorkAreaOwner *manager, KZelvaWorkAreaStore *store, QObject *parent);
    ~KZelvaWorkArea() override;

    // The visibility control type the plug-in hides pages of hidden work areas with.
    static int subPageControlType();
    // Page types that never become items.
    static bool isExcludedPageType(int pageType);
    // Document pages: the ones with document copies and recoverable files.
    static bool isDocumentPageType(int pageType);
    // The work areas of `byId` that still live, in its order.
    static QList<KZelvaWorkArea *> living(const QHash<QString, QPointer<KZelvaWorkArea>> &byId);

    const KZelvaWorkAreaData &data() const { return m_data; }
    QString id() const { return m_data.id; }
    // Copies `data` and announces dirty, unless it equals the current record.
    void setData(const KZelvaWorkAreaData &data);

    bool isVisible() const { return m_visible; }
    // "lastVisible" as stored (read with the record, updated by each write).
    bool storedVisible() const { return m_storedVisible; }
    void setStoredVisible(bool visible) { m_storedVisible = visible; }
    void setVisible(bool visible);
    bool isReady() const { return m_ready; }
    void setReady(bool ready) { m_ready = ready; }
    bool isResidual() const { return m_residual; }
    void setResidual(bool residual, const QString &residualId = QString());
    QString residualId() const { return m_residualId; }
    QString settingsId() const { return m_residualId.isEmpty() ? m_data.id : m_residualId; }
    bool isMarkedClosed() const { return m_markedClosed; }
    void setMarkedClosed(bool closed) { m_markedClosed = closed; }
    bool closedWithWindow() const { return m_closedWithWindow; }
    qint32 mode() const { return m_mode; }
    void setMode(qint32 mode) { m_mode = mode; }
    // Ready to be shown as stored: showing lists its items (mode 0).
    void prepareForShowing()
    {
        m_mode = 0;
        m_ready = true;
    }

    KZelvaMainWindow *window() const;
    void attachToWindow(KZelvaMainWindow *window);
    KZelvaWorkAreas *owner() const;
    void setOwner(KZelvaWorkAreas *owner);

    KZelvaWorkAreaAbility *ability() const { return m_ability; }
    KZelvaWorkareaBlocker *activationBlocker() const { return m_activationBlocker; }
    KZelvaWorkareaBlocker *saveBlocker() const { return m_saveBlocker; }

    void addItem(KZelvaWorkAreaItem *item, bool restoring = false);
    // Takes the item out of the hash without deleting it; null when absent.
    KZelvaWorkAreaItem *takeItem(const QString &id);
    KZelvaWorkAreaItem *findItem(const QString &id) const;
    // Live items in tab order (items without a tab last, by stored index).
    QList<KZelvaWorkAreaItem *> items() const;
    int itemCount() const { return m_items.size(); }
    // Creates an item for a page that has no work-area item id yet.
    KZelvaWorkAreaItem *createItemForPage(KZelvaSubPage *page);
    // Drops `page` from the pages announced by the host but not handled yet
    // (a page moved in by an operation is taken care of by that operation).
    void forgetPendingPage(KZelvaSubPage *page);
    // Reads the stored items of this work area from its group (node inside it).
    void readItems(ISyncSettingsData *node);
    // Takes the record and items another process stored for this work area
    // (node inside its group); items no longer stored go. Writes nothing back.
    void takeStored(const KZelvaWorkAreaData &data, ISyncSettingsData *node);
    // The same with the record and items already read.
    void takeStoredRecords(const KZelvaWorkAreaData &data, const QVector<KZelvaWorkAreaRecoverItem> &records);

    void setActiveItem(const QString &id, const QString &name);
    // Asks the store for a merged write.
    void requestSave() { onDirtyStatus(false, true); }
    void announceDirty();
    // Writes the work area into its store's record now and flushes it.
    bool save();
    // Writes it into the record without flushing (the caller flushes).
    bool write();
    void refreshCache();
    void fillDocumentCopies();
    const QHash<QString, KZelvaWorkAreaItem *> &documentCopies() const { return m_copies; }
    bool hasPendingSave() const;

Q_SIGNALS:
    void dirtyStatusAboutChanged(bool, bool);
    void dirtyStatusChanged();
    void dataChanged();
    void docloseFinished();

public Q_SLOTS:
    void onTabActiveChanged(KZelvaTab *tab);
    void onTabMoveFinished(KZelvaTab *tab);
    void onTabLockChanged(KZelvaTab *tab, bool locked);
    void onMainWindowDestroyed(QObject *window);
    void onSubPageAdded(KZelvaSubPage *page);
    void onSubPageAddedBefore(KZelvaSubPage *page);
    void onSubPageRemoved(KZelvaSubPage *page);
    void onSubPageActivated(KZelvaSubPage *page);
    void onSubPageVisibleChanged(bool visible);
    void onItemActivated(KZelvaWorkAreaItem *item);
    void onItemBeforeActivate(KZelvaWorkAreaItem *item);
    void onItemQueryDestroy(const QString &id);
    void onItemDelayUpdateCachedFinished(const QString &id);
    void onDirtyStatus(bool, bool dirty);
    void onDirtyStatusStartAction();
    void onSyncWorkArea();

protected:
    bool event(QEvent *event) override;

private:
    void hide();
    void show();
    void adoptPagesWithoutItem();
    void followItemActivation(KZelvaWorkAreaItem *item);
    void connectItem(KZelvaWorkAreaItem *item);
    void handleQueryClose();
    void handleDoClose();
    void removePage(KZelvaSubPage *page);
    void requestWrite();
    static QVector<KZelvaWorkAreaRecoverItem> storedRecords(ISyncSettingsData *node, bool independentMode);
    void takeRecords(const QVector<KZelvaWorkAreaRecoverItem> &records);

    IKZelvaWorkAreaOwner *m_manager;
    KZelvaWorkAreaStore *m_store;
    KZelvaWorkAreaData m_data;
    KZelvaWorkAreaData m_dataCopy;
    bool m_visible = false;
    bool m_storedVisible = false;
    bool m_ready = false;
    bool m_dirtyAnnounced = false;
    bool m_residual = false;
    bool m_markedClosed = false;
    bool m_closedWithWindow = false;
    qint32 m_mode = 0;
    QString m_residualId;
    QHash<QString, KZelvaWorkAreaItem *> m_items;
    QHash<QString, KZelvaWorkAreaItem *> m_copies;
    QStringList m_skippedIds;
    QStringList m_keptIds;
    QStringList m_restoredIds;
    QStringList m_removedIds;
    QPointer<KZelvaMainWindow> m_window;
    QPointer<KZelvaWorkAreas> m_owner;
    KZelvaWorkareaBlocker *m_activationBlocker;
    KZelvaWorkareaBlocker *m_saveBlocker;
    KZelvaWorkAreaAbility *m_ability;
    QList<QPointer<KZelvaSubPage>> m_pendingPages;
};
