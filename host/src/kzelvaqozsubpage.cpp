// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaqozsubpage.h"

#include "kzelvadatafile.h"
#include "kzelvaworkareadata.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcDoc, "zelva.document", QtInfoMsg)

namespace {
constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;
}

KZelvaQozSubPage::KZelvaQozSubPage(KZelvaPluginWidget::WidgetType type, QWidget *parent)
    : KZelvaSubPage(type, parent)
    , m_editor(new QPlainTextEdit(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this,
            [this] { updateTitle(); });
}

void KZelvaQozSubPage::setCloudFileId(const QString &id)
{
    if (m_cloudFileId == id)
        return;
    m_cloudFileId = id;
    Q_EMIT docInfoUpdated({{QStringLiteral("fileId"), id}});
}

void KZelvaQozSubPage::newDocument(const QString &title)
{
    m_path.clear();
    m_name = title;
    m_editor->clear();
    m_editor->document()->setModified(false);
    updateTitle();
    Q_EMIT newDocumentFinished();
}

bool KZelvaQozSubPage::openFile(const QString &path)
{
    // A FIFO or device named as a document is refused, never waited on.
    QByteArray bytes;
    QString reason = QStringLiteral("no such file");
    if (KZelvaDataFile::read(path, kMaxDocumentBytes, &bytes, &reason, true) != KZelvaDataFile::Read::Ok) {
        qCWarning(lcDoc).noquote() << path << ": cannot open:" << reason;
        return false;
    }
    m_editor->setPlainText(QString::fromUtf8(bytes));
    m_editor->document()->setModified(false);
    m_path = QFileInfo(path).absoluteFilePath();
    m_name = QFileInfo(path).fileName();
    updateTitle();
    Q_EMIT sigDocPathChanged();
    Q_EMIT openFilesFinished();
    return true;
}

bool KZelvaQozSubPage::save(const QString &path)
{
    const QString target = path.isEmpty() ? m_path : path;
    if (target.isEmpty()) {
        qCWarning(lcDoc) << m_name << ": no path to save to";
        Q_EMIT afterSave(false, target);
        return false;
    }
    QSaveFile file(target);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        file.write(m_editor->toPlainText().toUtf8());
        ok = file.commit();
    }
    if (!ok) {
        qCWarning(lcDoc) << target << ": cannot save:" << file.errorString();
    } else {
        const bool pathChanged = QFileInfo(target).absoluteFilePath() != m_path;
        m_path = QFileInfo(target).absoluteFilePath();
        m_name = QFileInfo(target).fileName();
        m_editor->document()->setModified(false);
        updateTitle();
        if (pathChanged)
            Q_EMIT sigDocPathChanged();
    }
    Q_EMIT afterSave(ok, target);
    return ok;
}

QString KZelvaQozSubPage::text() const
{
    return m_editor->toPlainText();
}

void KZelvaQozSubPage::setText(const QString &text)
{
    m_editor->setPlainText(text);
    m_editor->document()->setModified(true);
}

bool KZelvaQozSubPage::isModified() const
{
    return m_editor->document()->isModified();
}

void KZelvaQozSubPage::setModified(bool modified)
{
    m_editor->document()->setModified(modified);
}

bool KZelvaQozSubPage::getRecoverItem(KZelvaWorkAreaRecoverItem *item) const
{
    if (!KZelvaSubPage::getRecoverItem(item))
        return false;
    item->title = m_name;
    item->filePath = m_path;
    const QFileInfo info(m_path);
    item->suffix = info.suffix();
    item->fileSize = m_path.isEmpty() ? QString() : QString::number(info.size());
    if (!m_cloudFileId.isEmpty())
        item->extMap.insert(QStringLiteral("fileId"), m_cloudFileId);
    if (!m_name.isEmpty())
        item->extMap.insert(QStringLiteral("fileName"), m_name);
    return true;
}

QVariantMap KZelvaQozSubPage::getPageTabFileType() const
{
    const QString suffix = QFileInfo(m_path).suffix().toLower();
    return {{QStringLiteral("fileType"), suffix.isEmpty() ? QStringLiteral("txt") : suffix}};
}

void KZelvaQozSubPage::updateTitle()
{
    setWindowTitle(isModified() ? m_name + QStringLiteral(" *") : m_name);
}
