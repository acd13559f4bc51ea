// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The contract of the module's C entry points, checked through dlopen/dlsym
// exactly as the shell reaches them.

#include <kpluginmanager.h>
#include <kscriptcore.h>
#include <kzelvaapplication.h>

#include <QProcess>
#include <QSet>
#include <QtTest>

#include <dlfcn.h>

namespace {
constexpr char kManagerProperty[] = "__KZelvaWorkAreaManager__";
}

class tst_EntryPoints : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void exportsOnlyTheEntryPoints();
    void managerName_data();
    void managerName();
    void createAndDelete();
    void registerPanelManagerOnce();
    void scriptCoreRegistrar_data();
    void scriptCoreRegistrar();

private:
    template<typename F>
    F entry(const char *name)
    {
        return reinterpret_cast<F>(::dlsym(m_handle, name));
    }
    QObject *publishedManager() const
    {
        return qApp->property(kManagerProperty).value<QObject *>();
    }
    void *m_handle = nullptr;
};

void tst_EntryPoints::initTestCase()
{
    m_handle = ::dlopen(KZ_PLUGIN_MODULE, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(m_handle, ::dlerror());
}

void tst_EntryPoints::cleanupTestCase()
{
    if (auto del = entry<void (*)()>("DeleteManagerImpl"))
        del();
    // The module stays mapped: objects it parented to the application live
    // until the application object goes.
}

void tst_EntryPoints::exportsOnlyTheEntryPoints()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                    QStringLiteral(KZ_PLUGIN_MODULE)});
    QVERIFY(nm.waitForFinished());
    QCOMPARE(nm.exitCode(), 0);
    QSet<QString> symbols;
    const QList<QByteArray> lines = nm.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            symbols.insert(QString::fromLatin1(fields.at(2)));
    }
    const QSet<QString> expected{
        QStringLiteral("CreateManagerImpl"), QStringLiteral("DeleteManagerImpl"),
        QStringLiteral("GetManagerName"), QStringLiteral("RegisterCrossTerminalPanelImpl"),
        QStringLiteral("RegisterSoftbusCenterManagerImpl"), QStringLiteral("GetExtensionJsApiObj"),
        QStringLiteral("GetAppEntryObject")};
    QCOMPARE(symbols, expected);
}

void tst_EntryPoints::managerName_data()
{
    QTest::addColumn<bool>("nullBuffer");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("written");

    QTest::newRow("null buffer") << true << 100 << 25 << false;
    QTest::newRow("negative size") << false << -5 << 25 << false;
    QTest::newRow("one short") << false << 24 << 25 << false;
    QTest::newRow("exact") << false << 25 << 0 << true;
}

void tst_EntryPoints::managerName()
{
    QFETCH(bool, nullBuffer);
    QFETCH(int, size);
    QFETCH(int, result);
    QFETCH(bool, written);

    auto getName = entry<int (*)(char *, int)>("GetManagerName");
    QVERIFY(getName);
    QByteArray buffer(80, '\xAA');
    QCOMPARE(getName(nullBuffer ? nullptr : buffer.data(), size), result);
    if (written) {
        QCOMPARE(buffer.left(25), QByteArray(kManagerProperty));
        // No terminating zero: the byte after the name is untouched.
        QCOMPARE(buffer.at(25), '\xAA');
    } else {
        QCOMPARE(buffer, QByteArray(80, '\xAA'));
    }
}

void tst_EntryPoints::createAndDelete()
{
    auto create = entry<void (*)()>("CreateManagerImpl");
    auto del = entry<void (*)()>("DeleteManagerImpl");
    QVERIFY(create && del);

    del(); // without a manager: nothing happens
    QVERIFY(!qApp->property(kManagerProperty).isValid());

    create();
    QPointer<QObject> first = publishedManager();
    QVERIFY(first);
    QCOMPARE(first->parent(), qApp);
    QCOMPARE(first->metaObject()->className(), "KZelvaWorkAreaManager");

    create(); // a second create keeps the first manager and property
    QCOMPARE(publishedManager(), first.data());

    del();
    QVERIFY(first.isNull());
    QVERIFY(!qApp->property(kManagerProperty).isValid());

    create(); // and the cycle can start again
    QVERIFY(publishedManager());
    del();
    QVERIFY(!qApp->property(kManagerProperty).isValid());
}

void tst_EntryPoints::registerPanelManagerOnce()
{
    auto registerPanel = entry<void (*)()>("RegisterCrossTerminalPanelImpl");
    QVERIFY(registerPanel);
    const QString name = QStringLiteral("__KZelvaCrossTerminalPanelManager__");
    QVERIFY(!KPluginManager::instance()->pluginInstanceObject(name));
    registerPanel();
    QObject *panel = KPluginManager::instance()->pluginInstanceObject(name);
    QVERIFY(panel);
    QCOMPARE(panel->parent(), qApp);
    registerPanel();
    QCOMPARE(KPluginManager::instance()->pluginInstanceObject(name), panel);
}

void tst_EntryPoints::scriptCoreRegistrar_data()
{
    QTest::addColumn<bool>("coreAvailable");
    QTest::addColumn<int>("result");
    QTest::newRow("with script core") << true << 0;
    QTest::newRow("without script core") << false << int(0x80000008u);
}

void tst_EntryPoints::scriptCoreRegistrar()
{
    QFETCH(bool, coreAvailable);
    QFETCH(int, result);

    auto getApi = entry<void *(*)()>("GetExtensionJsApiObj");
    QVERIFY(getApi);
    auto registrar = reinterpret_cast<int (*)(void *, void *)>(getApi());
    QVERIFY(registrar);
    QCOMPARE(reinterpret_cast<void *>(registrar), getApi());

    zelvaApp->setScriptCoreAvailable(coreAvailable);
    int a = 1;
    int b = 2;
    QCOMPARE(registrar(&a, &b), result);
    if (coreAvailable) {
        const auto registrations = zelvaApp->scriptCore()->extensionRegistry()->registrations();
        QCOMPARE(registrations.size(), 1);
        QCOMPARE(registrations.first().a, static_cast<void *>(&a));
        QCOMPARE(registrations.first().b, static_cast<void *>(&b));
        QCOMPARE(registrations.first().flags, 0);
        QVERIFY(registrations.first().object);
    }
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_EntryPoints test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_entrypoints.moc"
