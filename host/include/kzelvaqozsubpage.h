// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvasubpage.h"

#include <QMap>
#include <QVariantMap>

class QPlainTextEdit;

/*
 * A document sub page: a plain-text document with a path, a title and a
 * modified flag. Stands in for the suite's document views. Owned like any
 * sub page by its central area.
 */
class KZELVASHELL_EXPORT KZelvaQozSubPage : public KZelvaSubPage
{
    Q_OBJECT
public:
    explicit KZelvaQozSubPage(KZelvaPluginWidget::WidgetType type = KZelvaPluginWidget::QozDocument,
                              QWidget *parent = nullptr);

    QString getDocPath() const { return m_path; }
    QString cloudFileId() const { return m_cloudFileId; }
    // How the document was opened, in the suite's numbers (0: for editing;
    // 1 and 2: read-only and as a copy, which a closed window does not keep).
    int openMode() const { return m_openMode; }
    void setOpenMode(int mode) { m_openMode = mode; }
    void setCloudFileId(const QString &id);

    // Starts an empty document titled `title`.
    void newDocument(const QString &title);
    // Loads `path`; false (and a warning) when it cannot be read.
    bool openFile(const QString &path);
    // Writes the text to `path` (empty: the current path).
    bool save(const QString &path = QString());

    QString text() const;
    void setText(const QString &text);
    bool isModified() const override;
    void setModified(bool modified);

    bool getRecoverItem(KZelvaWorkAreaRecoverItem *item) const override;
    // {"fileType": the document's suffix in lower case, "txt" before it has a path}
    Q_INVOKABLE QVariantMap getPageTabFileType() const;

Q_SIGNALS:
    void newDocumentFinished();
    void openFilesFinished();
    void sigDocPathChanged();
    void docInfoUpdated(const QMap<QString, QString> &info);
    void afterSave(const bool ok, const QString &path);

private:
    void updateTitle();
    QPlainTextEdit *m_editor = nullptr;
    QString m_path;
    QString m_name;
    QString m_cloudFileId;
    int m_openMode = 0;
};
