// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The cross-terminal panel popped up cold (a new panel: window, browser,
// page API and page) until its page called pageReady, against a bare
// QWebEngineView with a QWebChannel loading the same file until the same
// call. The bare side's bridge object answers every call of the page with
// the answer the panel gave to the same call (recorded once, untimed), so
// both pages draw the same lists. Both run in one process whose web engine
// is already up. Needs a display: without one the program runs itself again
// under xvfb-run.
#include "kzbenchratio.h"
#include "kzbenchwait.h"
#include "kzbenchworkareas.h"

#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelmgr.h"

#include <kpluginssettings.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjsanswer.h>
#include <kzelvaapplication.h>
#include <kzelvabrowserwidgetbase.h>
#include <kzelvamainwindow.h>

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QToolButton>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWaitMSec = 60000;

// The bare side's "kzbridge": the page's calls answered from what the panel
// answered to the same handler and method; until one is known, the call goes
// to the panel's page object and its answer is kept.
class ReplayEndpoint : public QObject
{
    Q_OBJECT
public:
    ReplayEndpoint(QHash<QString, QByteArray> *answers, KxWebViewAsynJSObject *recordFrom, QObject *parent)
        : QObject(parent)
        , m_answers(answers)
        , m_recordFrom(recordFrom)
    {
    }

    bool pageReady = false;

public Q_SLOTS:
    void send(const QString &text)
    {
        const QJsonObject call = QJsonDocument::fromJson(text.toUtf8()).object();
        if (call.value(QLatin1String("t")).toString() != QLatin1String("call"))
            return; // subscriptions: nothing is sent to this page
        const QString handler = call.value(QLatin1String("h")).toString();
        const QString method = call.value(QLatin1String("m")).toString();
        const QByteArray id = QByteArray::number(call.value(QLatin1String("id")).toInt());
        if (method == QLatin1String("pageReady"))
            pageReady = true;
        const QString key = handler + QLatin1Char('.') + method;
        const auto known = m_answers->constFind(key);
        if (known != m_answers->constEnd() || !m_recordFrom) {
            answer(id, known != m_answers->constEnd() ? *known : QByteArrayLiteral("\"ok\":true,\"v\":{}"));
            return;
        }
        QPointer<ReplayEndpoint> self(this);
        m_recordFrom->call(
            handler, method, call.value(QLatin1String("a")), [self, id, key](const KxWebViewJSAnswer &reply) {
                // The answer as the bridge words it, failures included.
                const QByteArray tail = reply.isOk() ? QByteArray("\"ok\":true,\"v\":" + reply.value)
                                                     : QByteArray("\"ok\":false,\"code\":\""
                                                                  + KxWebViewJSAnswer::codeName(reply.status).toUtf8()
                                                                  + "\",\"error\":\"recorded\"");
                if (!self)
                    return;
                self->m_answers->insert(key, tail);
                self->answer(id, tail);
            });
    }

Q_SIGNALS:
    void message(const QString &text);

private:
    void answer(const QByteArray &id, const QByteArray &tail)
    {
        Q_EMIT message(QString::fromUtf8("{\"t\":\"reply\",\"id\":" + id + ',' + tail + '}'));
    }

    QHash<QString, QByteArray> *m_answers;
    QPointer<KxWebViewAsynJSObject> m_recordFrom;
};

// A plain in-memory profile with the QWebChannel client script, as any
// QtWebEngine program that talks to its pages sets one up.
QWebEngineProfile *bareProfile()
{
    static QWebEngineProfile *profile = [] {
        auto *made = new QWebEngineProfile(qApp);
        QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        client.open(QIODevice::ReadOnly);
        QWebEngineScript script;
        script.setSourceCode(QString::fromUtf8(client.readAll()));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::MainWorld);
        made->scripts()->insert(script);
        return made;
    }();
    return profile;
}

struct Scene
{
    KZelvaWorkAreaManager *manager;
    KZelvaMainWindow *window;
    QString pageUrl;
    QHash<QString, QByteArray> answers;
    bool ready = false;

    explicit Scene(int size)
        : manager(new KZelvaWorkAreaManager(qApp))
        , window(zelvaApp->createMainWindow(false))
    {
        manager->notifyMainWindowAdd(window);
        zelvaApp->setCurrentMainWindow(window);
        window->resize(1200, 800);
        window->show();
        addStoredWorkAreas(manager, window, size, size);
        // Warm: the web engine's processes start with the first panel, whose
        // page object then answers the bare page once.
        KZelvaCrossTerminalPanel *panel = popup();
        if (!panel || !kzBenchWaitUntil([panel] { return panel->isLoaded(); }, kWaitMSec))
            return;
        pageUrl = panel->pageUrl();
        std::unique_ptr<QWebEngineView> bare(bareView(panel->browser()->container()->jsObject()));
        ready = bare && kzBenchWaitUntil([&] { return pageIsReady(bare.get()); }, kWaitMSec);
        drop();
    }

    ~Scene()
    {
        drop();
        manager->teardown();
        delete manager;
        delete window;
    }

    KZelvaCrossTerminalPanel *popup() const
    {
        QToolButton *button = window->crossTerminalButton();
        const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
        return qobject_cast<KZelvaCrossTerminalPanel *>(
            KZelvaCrossTerminalPanelMgr::instance()->popupCrossTerminalPanel(button, rect,
                                                                             QStringLiteral("CrossTerminalBtn"), {}));
    }

    // The next popup makes everything again.
    void drop() const
    {
        delete KZelvaCrossTerminalPanelMgr::instance()->panel();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWebEngineView *bareView(KxWebViewAsynJSObject *recordFrom)
    {
        auto *view = new QWebEngineView;
        auto *page = new QWebEnginePage(bareProfile(), view);
        view->setPage(page);
        auto *channel = new QWebChannel(page);
        channel->registerObject(QStringLiteral("kzbridge"), new ReplayEndpoint(&answers, recordFrom, view));
        page->setWebChannel(channel);
        view->resize(400, 600);
        view->show();
        view->load(KZelvaBrowserWidgetBase::toUrl(pageUrl));
        return view;
    }

    static bool pageIsReady(QWebEngineView *view)
    {
        auto *endpoint = view->findChild<ReplayEndpoint *>();
        return endpoint && endpoint->pageReady;
    }
};

KzBenchScene<Scene> g_scene;

Scene *sceneFor(benchmark::State &state)
{
    Scene *scene = g_scene.get(int(state.range(0)));
    if (!scene->ready)
        state.SkipWithError("the panel page did not become ready");
    return scene;
}

void panelPopupToPageReady(benchmark::State &state)
{
    Scene *scene = sceneFor(state);
    for (auto _ : state) {
        if (!scene->ready)
            break;
        KZelvaCrossTerminalPanel *panel = scene->popup();
        if (!panel || !kzBenchWaitUntil([panel] { return panel->isLoaded(); }, kWaitMSec)) {
            state.SkipWithError("the panel page did not become ready");
            break;
        }
        state.PauseTiming();
        scene->drop();
        state.ResumeTiming();
    }
}

void bareViewToPageReady(benchmark::State &state)
{
    Scene *scene = sceneFor(state);
    for (auto _ : state) {
        if (!scene->ready)
            break;
        std::unique_ptr<QWebEngineView> view(scene->bareView(nullptr));
        if (!kzBenchWaitUntil([&] { return Scene::pageIsReady(view.get()); }, kWaitMSec)) {
            state.SkipWithError("the bare page did not become ready");
            break;
        }
        state.PauseTiming();
        view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// Real time: the work is done by the web engine's processes. A popup takes
// about half a second, so the default run makes few; figures come from
// --benchmark_min_time=5 (docs/panel.md).
#define KZ_POPUP_BENCHMARKS(n)                                                                                         \
    BENCHMARK(panelPopupToPageReady)->Arg(n)->UseRealTime()->Unit(benchmark::kMillisecond);                            \
    BENCHMARK(bareViewToPageReady)->Arg(n)->UseRealTime()->Unit(benchmark::kMillisecond);
KZ_POPUP_BENCHMARKS(3)
KZ_POPUP_BENCHMARKS(20)

// QtWebEngine needs a display: without one (the offscreen platform of
// scripts/bench.sh) the program runs itself again under xvfb-run.
int runUnderDisplay(int argc, char **argv)
{
    std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                             const_cast<char *>("-screen 0 1600x900x24")};
    args.insert(args.end(), argv, argv + argc);
    args.push_back(nullptr);
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("KZ_BENCH_UNDER_XVFB", "1");
    execvp("xvfb-run", args.data());
    std::fprintf(stderr, "bench_crossterminalpopup: needs a display or xvfb-run; nothing measured\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("KZ_BENCH_UNDER_XVFB")
        && (qEnvironmentVariableIsEmpty("DISPLAY") || qgetenv("QT_QPA_PLATFORM") == "offscreen"))
        return runUnderDisplay(argc, argv);
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QTemporaryDir profile;
    kzBenchPrivateSession(profile);
    // QtWebEngine wants shared GL contexts before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    KZelvaApplication app(argc, argv);
    // A loaded machine must not turn a slow page into the error page.
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("loadTimeoutMSec"), kWaitMSec);
    const int result = kzRunRatioBenchmarks(argc, argv, {{"panelPopupToPageReady", "bareViewToPageReady"}});
    g_scene.reset();
    return result;
}

#include "bench_crossterminalpopup.moc"
