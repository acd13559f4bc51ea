// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "klabelsyncrelay.h"

#include "ktoast.h"
#include "kzelvaworkareahelper.h"

#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

KZelvaMainWindow *currentWindow()
{
    KZelvaApplication *app = zelvaApp;
    if (!app)
        return nullptr;
    if (KZelvaMainWindow *w = app->currentMainWindow())
        return w;
    const QList<KZelvaMainWindow *> windows = app->mainWindows();
    return windows.isEmpty() ? nullptr : windows.constFirst();
}

QString tr(const char *text)
{
    return QCoreApplication::translate("KWorkAreaLabelSync", text);
}

// Widgets need a widget application (a GUI-less process only logs what it would show).
bool canShow(const char *what, const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return true;
    writeLog(1, QStringLiteral("%1: no widgets in this process: %2").arg(QLatin1String(what), text));
    return false;
}

QMessageBox *openBox(const char *objectName, const QString &title, const QString &text)
{
    if (!canShow(objectName, text))
        return nullptr;
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::NoButton, currentWindow());
    box->setObjectName(QLatin1String(objectName));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

} // namespace

QString KLabelSyncRelay::shownName(const QString &name)
{
    for (const QLatin1String mark : {QLatin1String("(Encrypted)"), QLatin1String("(BackupFile)")}) {
        if (!name.endsWith(mark))
            continue;
        // "plan.txt(Encrypted)" shows as "plan(Encrypted)": the suffix goes, the mark stays.
        const QString base = name.left(name.size() - mark.size());
        const int dot = base.lastIndexOf(QLatin1Char('.'));
        return (dot > 0 ? base.left(dot) : base) + mark;
    }
    return name;
}

KZelvaQozSubPage *KLabelSyncRelay::openCopy(const QString &path)
{
    KZelvaMainWindow *window = currentWindow();
    if (!window || !window->centralArea()) {
        writeLog(1, QStringLiteral("openCopy: no main window for %1").arg(path));
        return nullptr;
    }
    auto *page = new KZelvaQozSubPage();
    if (!page->openFile(path)) {
        delete page;
        writeLog(1, QStringLiteral("openCopy: cannot open %1").arg(path));
        return nullptr;
    }
    window->centralArea()->addSubPage(page);
    window->showToFront(true, true, false);
    return page;
}

KZelvaQozSubPage *KLabelSyncRelay::findCloudDocument(const QString &fileId)
{
    KZelvaApplication *app = zelvaApp;
    if (!app || fileId.isEmpty())
        return nullptr;
    for (KZelvaMainWindow *window : app->mainWindows()) {
        if (!window || !window->centralArea())
            continue;
        for (KZelvaSubPage *page : window->centralArea()->subPages()) {
            auto *doc = qobject_cast<KZelvaQozSubPage *>(page);
            if (doc && doc->cloudFileId() == fileId)
                return doc;
        }
    }
    return nullptr;
}

KZelvaQozSubPage *KLabelSyncRelay::openCloudDocument(const QString &url, const QString &fileId, const QString &name)
{
    KZelvaMainWindow *window = currentWindow();
    if (!window || !window->centralArea())
        return nullptr;
    auto *page = new KZelvaQozSubPage();
    // Named as the document; a tag without a name still reads as a document, never as its file id.
    const QString title = shownName(name).trimmed();
    page->newDocument(title.isEmpty() ? tr("Cloud document") : title);
    page->setCloudFileId(fileId);
    page->setProperty("documentUrl", url);
    window->centralArea()->addSubPage(page);
    return page;
}

void KLabelSyncRelay::showTryAgainLater(const QString &text)
{
    KZelvaMainWindow *window = currentWindow();
    if (!window || !canShow("relayBusyToast", text))
        return;
    if (KToast *toast = KToast::showToast(window, text))
        toast->setObjectName(QStringLiteral("relayBusyToast"));
}

QMessageBox *KLabelSyncRelay::showRelayDocFailed(const QString &title, const QString &text)
{
    QMessageBox *box = openBox("relayDocFailedDlg", title, text);
    if (!box)
        return nullptr;
    box->addButton(tr("ok"), QMessageBox::AcceptRole);
    box->open();
    return box;
}

QMessageBox *KLabelSyncRelay::showQueryFileFailed(std::function<void(bool loadLatest)> answered)
{
    QMessageBox *box = openBox("queryFileFailedDlg", tr("Failed to get device document progress"),
                               tr("The latest document content of the device cannot be obtained,Do you want to load "
                                  "the latest document version?"));
    if (!box)
        return nullptr;
    QPushButton *ok = box->addButton(tr("ok"), QMessageBox::AcceptRole);
    box->addButton(tr("cancel"), QMessageBox::RejectRole);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, ok, answered = std::move(answered)] { answered(box->clickedButton() == ok); });
    box->open();
    return box;
}
