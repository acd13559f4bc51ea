// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kshellstartpage.h"

#include <kcirrapaths.h>
#include <kzelvaapplication.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcStartPage, "zelva.shell.startpage", QtInfoMsg)

namespace {
const QLatin1String kCommand("showDevicesFile&");
const QLatin1String kReceivedItem("share@virutal_item\\linkfiles@virutal_item");
constexpr int kMaxEntries = 2000;
constexpr int kRoleIsDir = Qt::UserRole + 1;
} // namespace

KShellStartPage::KShellStartPage(QWidget *parent)
    : KZelvaSubPage(KZelvaPluginWidget::StartPage, parent)
    , m_heading(new QLabel(this))
    , m_where(new QLabel(this))
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("KShellStartPage"));
    setWindowTitle(tr("Start"));
    auto *layout = new QVBoxLayout(this);
    QFont big = m_heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    m_heading->setFont(big);
    m_heading->setTextFormat(Qt::PlainText);
    m_where->setTextFormat(Qt::PlainText);
    m_where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setAccessibleName(tr("Files of the folder"));
    layout->addWidget(m_heading);
    layout->addWidget(m_where);
    layout->addWidget(m_list, 1);
    connect(m_list, &QListWidget::itemActivated, this, &KShellStartPage::onItemActivated);
}

QString KShellStartPage::folderOf(const QString &path, const QString &itemPath)
{
    if (itemPath == kReceivedItem) {
        // What other devices sent here: the device service keeps it per user and device.
        const QString user = zelvaApp ? zelvaApp->property("zelvaUserId").toString() : QString();
        const QString device = zelvaApp ? zelvaApp->property("zelvaDeviceId").toString() : QString();
        if (!KCirraPaths::isSafeId(user) || !KCirraPaths::isSafeId(device))
            return QString();
        return KCirraPaths::stateDir() + QStringLiteral("/relay/") + user + QLatin1Char('/') + device;
    }
    const QFileInfo info(path);
    return info.isAbsolute() && info.isDir() ? info.canonicalFilePath() : QString();
}

bool KShellStartPage::showCommand(const QString &command)
{
    if (!command.startsWith(kCommand)) {
        qCWarning(lcStartPage).noquote() << "start page: unknown command" << command.left(64);
        return false;
    }
    // "<path>&<ids>&<id>": the last two fields are the ids, a path may hold '&'.
    QStringList fields = command.mid(kCommand.size()).split(QLatin1Char('&'));
    if (fields.size() < 3) {
        qCWarning(lcStartPage).noquote() << "start page: showDevicesFile needs a path, ids and an id:"
                                         << command.left(256);
        return false;
    }
    fields.removeLast();
    const QString itemPath = fields.takeLast();
    m_displayPath = fields.join(QLatin1Char('&'));
    m_folder = folderOf(m_displayPath, itemPath);
    m_entries.clear();
    m_list->clear();
    m_heading->setText(
        m_displayPath.section(QRegularExpression(QStringLiteral("[\\\\/]")), -1, -1, QString::SectionSkipEmpty));
    if (m_folder.isEmpty()) {
        qCWarning(lcStartPage).noquote() << "start page: no local folder for" << m_displayPath.left(256)
                                         << itemPath.left(256);
        m_where->setText(tr("%1 is not on this computer.").arg(m_displayPath));
        return true;
    }
    m_where->setText(QDir::toNativeSeparators(m_folder));
    const QFileInfoList all = QDir(m_folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                           QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : all) {
        if (m_entries.size() == kMaxEntries)
            break;
        auto *item = new QListWidgetItem(info.isDir() ? info.fileName() + QLatin1Char('/') : info.fileName(), m_list);
        item->setData(Qt::UserRole, info.absoluteFilePath());
        item->setData(kRoleIsDir, info.isDir());
        m_entries.append(item->text());
    }
    if (m_entries.isEmpty())
        new QListWidgetItem(tr("This folder is empty."), m_list);
    qCInfo(lcStartPage).noquote() << "start page shows" << m_folder << "with" << m_entries.size() << "entries";
    return true;
}

void KShellStartPage::onItemActivated(QListWidgetItem *item)
{
    const QString path = item ? item->data(Qt::UserRole).toString() : QString();
    if (!path.isEmpty() && !item->data(kRoleIsDir).toBool())
        Q_EMIT openRequested(path);
}
