// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvasubpage.h>

#include <QStringList>

class QLabel;
class QListWidget;
class QListWidgetItem;

/*
 * The demo shell's start page (page type StartPage): shows the folder a
 * "showDevicesFile&<path>&<ids>&<id>" command names, as the suite's start
 * page does for a device's roaming folder or the received files. The
 * received files ("share@virutal_item\linkfiles@virutal_item") are the
 * device service's received folder of this user and device. A file of the
 * list opens as a document (Enter or double click). One per window, owned
 * by its central area like any sub page. GUI thread.
 */
class KShellStartPage : public KZelvaSubPage
{
    Q_OBJECT
public:
    explicit KShellStartPage(QWidget *parent = nullptr);

    // Shows the folder of a "showDevicesFile" command; false, with a log
    // line, for any other text (the page then keeps what it showed).
    bool showCommand(const QString &command);
    QString displayPath() const { return m_displayPath; }
    // The local folder listed, empty when the command named none.
    QString folder() const { return m_folder; }
    QStringList entries() const { return m_entries; }

    // The local folder a command's path and item path name, empty for none.
    static QString folderOf(const QString &path, const QString &itemPath);

Q_SIGNALS:
    void openRequested(const QString &path);

private:
    void onItemActivated(QListWidgetItem *item);

    QLabel *m_heading;
    QLabel *m_where;
    QListWidget *m_list;
    QString m_displayPath;
    QString m_folder;
    QStringList m_entries;
};
