// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaserializer.h"

#include "kzelvaworkareadefaultname.h"
#include "kzelvaworkareaidgenerator.h"

#include <kzelvaworkareahelper.h>

#include <isyncsettingsdata.h>
#include <kzelvahostutils.h>
#include <kzelvapluginwidget.h>

#include <QDateTime>
#include <QSet>

namespace {

const QLatin1String kExtendPrefix("extend_");

// Extension values a residual item keeps while residual items may be deleted.
const char *const kResidualExtKeys[] = {
    "fileId", "recoverFileId", "lastClosedDateTime", "url", "relativeWorkAreaId", "isResidual", "fileName",
};

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool isResidualExtKey(const QString &key)
{
    const QString prefixed = kExtendPrefix + key;
    for (const char *kept : kResidualExtKeys) {
        if (prefixed.compare(kExtendPrefix + QLatin1String(kept), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString convertPageTypeToSuffix(KZelvaPluginWidget::WidgetType type)
{
    switch (type) {
    case KZelvaPluginWidget::QozDocument: return QStringLiteral("qoz");
    case KZelvaPluginWidget::SheetDocument: return QStringLiteral("qsh");
    case KZelvaPluginWidget::SlideDocument: return QStringLiteral("pptx");
    case KZelvaPluginWidget::WebPage:
    case KZelvaPluginWidget::WebApp: return QStringLiteral("url");
    case KZelvaPluginWidget::PdfDocument: return QStringLiteral("pdf");
    case KZelvaPluginWidget::DiagramDocument: return QStringLiteral("vsd");
    case KZelvaPluginWidget::FlowchartDocument: return QStringLiteral("qfc");
    case KZelvaPluginWidget::MindMapDocument: return QStringLiteral("qmm");
    case KZelvaPluginWidget::OfdDocument: return QStringLiteral("ofd");
    default: break;
    }
    writeLog(2, QStringLiteral("%1 : %2 has no suffix")
                          .arg(QLatin1String("QString (anonymous namespace)::convertPageTypeToSuffix("
                                             "KZelvaPluginWidget::WidgetType)"))
                          .arg(int(type)));
    return QString();
}

bool isResidualItem(const KZelvaWorkAreaRecoverItem &record)
{
    return record.extMap.value(QStringLiteral("isResidual")).toBool();
}

bool shouldWrite(const KZelvaWorkAreaStoreState::Item &item, const KZelvaWorkAreaSerializer::Options &options)
{
    if (item.groupId.isEmpty() || item.waitingForPage)
        return false;
    if (!item.saveFlag && options.residualSettingSaveEnabled)
        return false;
    return (!item.record.id.isEmpty() && item.record.pageType != -1) || item.record.itemType == 1;
}

// An item written before as it is now, with its sub-group still stored
// (another process or a removal may have dropped it), needs no write: a
// record of 100 work areas saved for one change sets only what changed.
bool isWrittenAlready(ISyncSettingsData *node, const KZelvaWorkAreaStoreState &state,
                      const KZelvaWorkAreaStoreState::Item &item, bool trimResidual)
{
    const KZelvaWorkAreaStoreState::Written *written = item.written.get();
    if (!written || !written->valid || written->generation != state.generation || written->trimmed != trimResidual
        || written->groupId != item.groupId || !(written->record == item.record))
        return false;
    node->beginGroup(item.groupId);
    const bool stored = node->contains(QStringLiteral("id"));
    node->endGroup();
    return stored;
}

void noteWritten(const KZelvaWorkAreaStoreState &state, const KZelvaWorkAreaStoreState::Item &item, bool trimResidual)
{
    if (KZelvaWorkAreaStoreState::Written *written = item.written.get()) {
        written->generation = state.generation;
        written->record = item.record;
        written->groupId = item.groupId;
        written->trimmed = trimResidual;
        written->valid = true;
    }
}

void writeItem(ISyncSettingsData *node, const KZelvaWorkAreaStoreState::Item &item, bool trimResidual)
{
    const KZelvaWorkAreaRecoverItem &r = item.record;
    node->beginGroup(item.groupId);
    node->setValue(QStringLiteral("id"), r.id);
    node->setValue(QStringLiteral("title"), r.title);
    node->setValue(QStringLiteral("pageType"), convertWidgetType(KZelvaPluginWidget::WidgetType(r.pageType)));
    if (!trimResidual) {
        node->setValue(QStringLiteral("bLock"), boolText(r.bLock));
        node->setValue(QStringLiteral("bCrash"), boolText(r.bCrash));
    }
    node->setValue(QStringLiteral("tabIndex"), QString::number(r.tabIndex));
    node->setValue(QStringLiteral("filePath"), toHomeRelativePath(r.filePath));
    node->setValue(QStringLiteral("fileSize"), r.fileSize);
    node->setValue(QStringLiteral("suffix"), r.suffix);
    node->setValue(QStringLiteral("itemType"), QString::number(r.itemType));
    node->setValue(QStringLiteral("itemCount"), QString::number(r.itemCount));
    for (auto it = r.extMap.cbegin(); it != r.extMap.cend(); ++it) {
        const QString value = it.value().toString();
        if (trimResidual && (it.key().isEmpty() || value.isEmpty() || !isResidualExtKey(it.key())))
            continue;
        node->setValue(kExtendPrefix + it.key(), value);
    }
    node->endGroup();
}

// The keys of an item sub-group, in the order of their texts in itemField;
// every other key holds an extension value.
enum class ItemField {
    Id,
    Title,
    PageType,
    BLock,
    BCrash,
    TabIndex,
    FilePath,
    FileSize,
    Suffix,
    ItemType,
    ItemCount,
    FileType,
    Extension
};

// Length and first letter rule out all but one or two keys before any text
// is compared.
ItemField itemField(const QString &key)
{
    static const QString keys[] = {
        QStringLiteral("id"),     QStringLiteral("title"),    QStringLiteral("pageType"),  QStringLiteral("bLock"),
        QStringLiteral("bCrash"), QStringLiteral("tabIndex"), QStringLiteral("filePath"),  QStringLiteral("fileSize"),
        QStringLiteral("suffix"), QStringLiteral("itemType"), QStringLiteral("itemCount"), QStringLiteral("fileType"),
    };
    if (key.isEmpty())
        return ItemField::Extension;
    const QChar first = key.at(0);
    for (int i = 0; i < int(ItemField::Extension); ++i) {
        const QString &known = keys[i];
        if (known.size() == key.size() && known.at(0) == first && known == key)
            return ItemField(i);
    }
    return ItemField::Extension;
}

// One walk over the item's values; a key that is missing reads as an empty text.
KZelvaWorkAreaRecoverItem readItem(ISyncSettingsData *node)
{
    KZelvaWorkAreaRecoverItem r;
    r.pageType = convertWidgetType(QString());
    r.tabIndex = 0;
    const KSyncSettingsValues values = node->childValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString &value = it.value();
        switch (itemField(it.key())) {
        case ItemField::Id: r.id = value; break;
        case ItemField::Title: r.title = value; break;
        case ItemField::PageType: r.pageType = convertWidgetType(value); break;
        case ItemField::BLock: r.bLock = value == QLatin1String("1"); break;
        case ItemField::BCrash: r.bCrash = value == QLatin1String("1"); break;
        case ItemField::TabIndex: r.tabIndex = value.toInt(); break;
        case ItemField::FilePath: r.filePath = fromHomeRelativePath(value); break;
        case ItemField::FileSize: r.fileSize = value; break;
        case ItemField::Suffix: r.suffix = value; break;
        case ItemField::ItemType: r.itemType = value.toInt(); break;
        case ItemField::ItemCount: r.itemCount = value.toInt(); break;
        case ItemField::FileType: break;
        case ItemField::Extension: {
            const QString &key = it.key();
            const QString extKey = key.startsWith(kExtendPrefix) ? key.mid(kExtendPrefix.size()) : key;
            if (!extKey.isEmpty())
                r.extMap.insert(extKey, value);
        }
        }
    }
    return r;
}

void fillMissingSuffix(KZelvaWorkAreaRecoverItem *r)
{
    if (!r->suffix.isEmpty())
        return;
    const QString fileName = r->extMap.value(QStringLiteral("fileName")).toString();
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        r->suffix = fileName.mid(dot + 1);
    if (r->suffix.isEmpty())
        r->suffix = convertPageTypeToSuffix(KZelvaPluginWidget::WidgetType(r->pageType));
}

} // namespace

bool KZelvaWorkAreaSerializer::Serialize(ISyncSettingsData *node, KZelvaWorkAreaStoreState *state,
                                         const Options &options, const std::function<void()> &flush)
{
    if (!node || !state || state->settingsId().isEmpty()) {
        writeLog(1, QStringLiteral("%1 : parameters error").arg(QLatin1String("serialize")));
        return false;
    }
    if (state->residual && !options.residualSettingSaveEnabled)
        return false;

    KZelvaWorkAreaData &d = state->data;
    d.lastRunDateTime = quint32(QDateTime::currentSecsSinceEpoch());
    const QString settingsId = state->settingsId();

    node->beginGroup(settingsId);
    node->setValue(QStringLiteral("id"), d.id);
    node->setValue(QStringLiteral("name"), d.name);
    node->setValue(QStringLiteral("color"), d.color);
    node->setValue(QStringLiteral("deviceType"), d.deviceType);
    node->setValue(QStringLiteral("deviceName"), d.deviceName);
    node->setValue(QStringLiteral("isDefault"), boolText(d.isDefault));
    node->setValue(QStringLiteral("activeItemId"), d.activeItemId);
    node->setValue(QStringLiteral("activeItemName"), d.activeItemName);
    node->setValue(QStringLiteral("createDateTime"), QString::number(d.createDateTime));
    node->setValue(QStringLiteral("lastRunDateTime"), QString::number(d.lastRunDateTime));
    node->setValue(QStringLiteral("posIndex"), QString::number(d.posIndex));
    node->setValue(QStringLiteral("isNewCreate"), boolText(d.isNewCreate));
    node->setValue(QStringLiteral("pid"), d.pid);
    node->setValue(QStringLiteral("lastPid"), d.lastPid);
    node->setValue(QStringLiteral("newWorkAreaNumber"), QString::number(d.newWorkAreaNumber));
    node->setValue(QStringLiteral("forceSave"), boolText(d.forceSave));
    node->setValue(QStringLiteral("lastVisible"), boolText(state->visible));

    QStringList skipped;
    QSet<QString> written;
    for (const KZelvaWorkAreaStoreState::Item &item : qAsConst(state->items)) {
        if (!shouldWrite(item, options)) {
            if (!item.groupId.isEmpty())
                skipped.append(item.groupId);
            continue;
        }
        const bool trimResidual = isResidualItem(item.record) && options.residualItemDeleteEnabled;
        if (!isWrittenAlready(node, *state, item, trimResidual)) {
            writeItem(node, item, trimResidual);
            noteWritten(*state, item, trimResidual);
        }
        written.insert(item.groupId);
        if (state->residual) {
            writeLog(0, QStringLiteral("%1, serialize workarea-uid: %2 uid: %3 titleName: %4, "
                                             "suffix: %5, pageType: %6")
                                  .arg(QLatin1String("serialize"), settingsId, item.groupId,
                                       item.record.title, item.record.suffix)
                                  .arg(item.record.pageType));
        }
    }

    // A sub-group just written stays even when its id is also listed as
    // removed (an item taken out and put back before the write).
    QStringList doomed;
    const QStringList candidates = state->removedIds + skipped;
    for (const QString &id : candidates) {
        if (id.isEmpty() || written.contains(id) || state->keptIds.contains(id)
            || state->restoredIds.contains(id) || doomed.contains(id))
            continue;
        doomed.append(id);
    }
    if (!doomed.isEmpty())
        node->removeGroups(doomed);
    node->endGroup();

    state->removedIds.clear();
    state->keptIds.clear();
    state->restoredIds.clear();
    state->skippedIds = skipped;
    if (flush)
        flush();
    return true;
}

void KZelvaWorkAreaSerializer::UnSerialize(ISyncSettingsData *node, KZelvaWorkAreaData *data)
{
    if (!node || !data) {
        writeLog(1, QStringLiteral("%1 : parameters error")
                              .arg(QLatin1String("void UnSerialize(ISyncSettingsData *, KZelvaWorkAreaData *)")));
        return;
    }
    const auto text = [node](const char *key) { return node->value(QLatin1String(key)); };
    const auto flag = [&text](const char *key) { return text(key) == QLatin1String("1"); };
    data->name = text("name");
    data->color = text("color");
    data->deviceType = text("deviceType");
    data->deviceName = text("deviceName");
    data->isDefault = flag("isDefault");
    data->forceSave = flag("forceSave");
    data->activeItemId = text("activeItemId");
    data->activeItemName = text("activeItemName");
    data->createDateTime = text("createDateTime").toUInt();
    data->lastRunDateTime = text("lastRunDateTime").toUInt();
    data->posIndex = text("posIndex").toInt();
    data->isNewCreate = flag("isNewCreate");
    data->lastPid = text("pid");
    data->newWorkAreaNumber = text("newWorkAreaNumber").toInt();
    KZelvaWorkAreaDefaultName::noteStoredWorkAreaNumber(data->newWorkAreaNumber);
}

QVector<KZelvaWorkAreaRecoverItem> KZelvaWorkAreaSerializer::readItems(ISyncSettingsData *node,
                                                                       bool independentMode)
{
    QVector<KZelvaWorkAreaRecoverItem> items;
    if (independentMode)
        return items;
    if (!node) {
        writeLog(1, QStringLiteral("%1 : parameters error").arg(QLatin1String("readItems")));
        return items;
    }
    const QStringList groups = node->childGroups();
    items.reserve(groups.size());
    for (const QString &group : groups) {
        node->beginGroup(group);
        KZelvaWorkAreaRecoverItem r = readItem(node);
        node->endGroup();
        KZelvaWorkAreaIdGenerator::noteStoredId(group);
        if (r.id != group)
            KZelvaWorkAreaIdGenerator::noteStoredId(r.id);
        if ((r.pageType == -1 || r.id.isEmpty()) && r.itemType != 1)
            continue;
        fillMissingSuffix(&r);
        items.append(std::move(r));
    }
    return items;
}
