// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Helpers of the browser tests: the system's Chromium through playwright-core
// (never a downloaded browser), programs that print a line when ready, a
// running zelvashell (offscreen, its page-API bridge on a WebSocket, its
// automation socket as the oracle), one cirrad for several shells, the
// plug-in's pages opened against a shell, and axe-core in a page.
'use strict';

const { execFileSync, spawn } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const readline = require('node:readline');
const { chromium } = require('playwright-core');

const CHROMIUM = process.env.KZ_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
                        '--disable-component-update', '--no-first-run'];
const LONG = 20000; // a wait that covers a start or a load on a busy machine
const ANSWER_MS = 60000; // an automation request left unanswered this long fails
// [path, page name] of the plug-in's pages.
const WORKAREA_PAGE = ['mui/default/html/workarea/index.html', 'kzelva_work_area_browser'];
const PANEL_PAGE = ['mui/default/html/crossterminal/index.html', 'kzelva_crossterminal_widget'];

function sourceDir() {
    return process.env.KZ_SOURCE_DIR || path.resolve(__dirname, '..', '..', '..');
}

function binDir() {
    if (!process.env.KZ_BIN_DIR)
        throw new Error('KZ_BIN_DIR must name the build\'s bin folder');
    return process.env.KZ_BIN_DIR;
}

// As root, through support/chromium.sh, so a niced test's browser stays niced.
async function launchBrowser() {
    const executablePath = process.getuid() === 0 ? path.join(__dirname, 'chromium.sh') : CHROMIUM;
    return chromium.launch({ executablePath, headless: true, args: CHROMIUM_FLAGS });
}

// A private folder below the test's runtime directory.
function tempDir(prefix) {
    const base = process.env.XDG_RUNTIME_DIR || os.tmpdir();
    fs.mkdirSync(base, { recursive: true, mode: 0o700 });
    const dir = fs.mkdtempSync(path.join(base, prefix));
    fs.chmodSync(dir, 0o700);
    return dir;
}

// Starts a program and resolves with {child, match} once a stdout line
// matches pattern; rejects when it exits first or after timeoutMs. Every
// stdout line is kept in child.lines. options go to spawn (env, cwd).
function startProgram(program, args, pattern, timeoutMs = LONG, options = {}) {
    const child = spawn(program, args, Object.assign({ stdio: ['pipe', 'pipe', 'inherit'] }, options));
    child.lines = [];
    return new Promise((resolve, reject) => {
        const timer = setTimeout(() => {
            child.kill();
            reject(new Error(`${program} printed no line matching ${pattern} in ${timeoutMs} ms`));
        }, timeoutMs);
        child.on('exit', (code) => {
            clearTimeout(timer);
            reject(new Error(`${program} exited with ${code} before it was ready`));
        });
        readline.createInterface({ input: child.stdout }).on('line', (line) => {
            child.lines.push(line);
            const match = pattern.exec(line);
            if (match) {
                clearTimeout(timer);
                resolve({ child, match });
            }
        });
    });
}

// Resolves with the first truthy value of predicate(), polled every 50 ms.
async function waitFor(predicate, what, timeoutMs = LONG) {
    const deadline = Date.now() + timeoutMs;
    for (;;) {
        const value = await predicate();
        if (value)
            return value;
        if (Date.now() > deadline)
            throw new Error(`timed out waiting for ${what}`);
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
}

// Resolves once the program has printed a line matching pattern.
function waitForLine(child, pattern, timeoutMs = LONG) {
    return waitFor(() => child.lines.some((line) => pattern.test(line)),
                   `a line matching ${pattern}; got:\n${child.lines.join('\n')}`, timeoutMs);
}

// Ends a program started above: closing its stdin is its signal to quit.
// Resolves with its exit code (null when it had to be killed).
async function stopProgram(child) {
    if (child.exitCode !== null || child.signalCode !== null)
        return child.exitCode;
    const exited = new Promise((resolve) => child.once('exit', (code) => resolve(code)));
    child.stdin.end();
    const timer = setTimeout(() => child.kill('SIGKILL'), LONG);
    const code = await exited;
    clearTimeout(timer);
    return code;
}

// The serious and critical axe-core findings in `page` below `scope` (contrast included).
let axeSource;
async function axeFindings(page, scope = 'html') {
    axeSource = axeSource || fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
    await page.addScriptTag({ content: axeSource });
    const result = await page.evaluate((s) => axe.run(s, { resultTypes: ['violations'] }), scope);
    return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// One JSON line per request, answers matched by id. A request fails when the
// connection closes or the shell ends before its answer, or after ANSWER_MS.
class Automation {
    constructor(socketPath) {
        this.socketPath = socketPath;
        this.nextId = 1;
        this.waiting = new Map();
        this.gone = '';
    }

    connect() {
        return new Promise((resolve, reject) => {
            this.socket = net.connect(this.socketPath, resolve);
            this.socket.once('error', reject);
            this.socket.on('close', () => this.fail('the automation connection closed'));
            readline.createInterface({ input: this.socket }).on('line', (line) => {
                const answer = JSON.parse(line);
                const entry = this.waiting.get(answer.id);
                if (entry)
                    entry.settle(answer);
            });
        });
    }

    // Every request still waiting, and every later one, fails with `why`.
    fail(why) {
        this.gone = this.gone || why;
        for (const entry of this.waiting.values())
            entry.settle(null, new Error(`${entry.cmd}: ${why}`));
    }

    send(cmd, args = {}) {
        if (this.gone)
            return Promise.reject(new Error(`${cmd}: ${this.gone}`));
        const id = this.nextId++;
        return new Promise((resolve, reject) => {
            const timer = setTimeout(() => this.waiting.get(id).settle(null, new Error(`no answer to ${cmd}`)), ANSWER_MS);
            this.waiting.set(id, { cmd, settle: (answer, error) => {
                clearTimeout(timer);
                this.waiting.delete(id);
                return error ? reject(error) : resolve(answer);
            } });
            this.socket.write(JSON.stringify(Object.assign({ cmd, id }, args)) + '\n');
        });
    }

    // Like send(), but an answer with ok false is an error.
    async ok(cmd, args = {}) {
        const answer = await this.send(cmd, args);
        if (!answer.ok)
            throw new Error(`${cmd} failed: ${answer.error}`);
        return answer;
    }

    close() {
        if (this.socket)
            this.socket.end();
    }
}

class WorkAreaShell {
    // Starts the shell in a profile of its own below the test's runtime
    // directory; pluginSettings is the text of its plugins.ini; extraArgs go on its command line.
    static async start(extraEnv = {}, pluginSettings = '', extraArgs = []) {
        const shell = new WorkAreaShell();
        const runtime = shell.runtime = tempDir('wa-');
        const env = Object.assign({}, process.env, {
            QT_QPA_PLATFORM: 'offscreen',
            KZELVA_WEB_BRIDGE: '1',
            KZELVA_WEB_ENGINE: '0',
            KZELVA_WEB_ROOT: path.join(binDir(), '..', 'share', 'kzelvaworkarea'),
            KZELVA_PROFILE_DIR: path.join(runtime, 'profile'),
            XDG_CONFIG_HOME: path.join(runtime, 'profile', 'config'),
            XDG_CACHE_HOME: path.join(runtime, 'profile', 'cache'),
            XDG_RUNTIME_DIR: runtime,
        }, extraEnv);
        if (pluginSettings) {
            fs.mkdirSync(path.join(env.XDG_CONFIG_HOME, 'zelva'), { recursive: true });
            fs.writeFileSync(path.join(env.XDG_CONFIG_HOME, 'zelva', 'plugins.ini'), pluginSettings);
        }
        const socket = path.join(runtime, 'automation.sock');
        const started = await startProgram(path.join(binDir(), 'zelvashell'), ['--automation', socket].concat(extraArgs),
                                           /^automation: (\S+)$/, LONG, { env });
        shell.child = started.child;
        shell.automation = new Automation(started.match[1]);
        shell.child.on('exit', (code, signal) => shell.automation.fail(`zelvashell ended with ${code ?? signal}`));
        await shell.automation.connect();
        shell.pid = (await shell.automation.ok('ping')).pid;
        return shell;
    }

    // The bridge publication appears once the first popup registered its page.
    async bridgeInfo(timeoutMs = LONG) {
        const file = path.join(this.runtime, 'zelva', `webbridge-${this.pid}.json`);
        await waitFor(() => fs.existsSync(file), `the bridge publication ${file}`, timeoutMs);
        return JSON.parse(fs.readFileSync(file, 'utf8'));
    }

    // The address of a page of this shell's bridge, described as WORKAREA_PAGE is.
    async pageUrl([file, name], skin = 'light', prefix = '') {
        const info = await this.bridgeInfo();
        return `${info.origin}/${prefix}${file}?lang=en_US&skin=${skin}#kztoken=${info.token}&kzpage=${name}`;
    }

    // Presses the corner button of `window` (the current one when absent).
    async openPopup(window) {
        if (!(await this.automation.ok('pressWorkAreaButton', window === undefined ? {} : { window })).popup)
            throw new Error('the manager made no popup');
    }

    // Opens the popup and the work-area page in `browserPage`, resolved once the cards are there.
    async showPage(browserPage, skin = 'light') {
        await this.openPopup();
        await browserPage.goto(await this.pageUrl(WORKAREA_PAGE, skin));
        await browserPage.waitForSelector('#app:not([aria-busy])');
    }

    // Opens the cross-terminal panel and its page in `browserPage`, resolved once `ready` shows.
    async showPanel(browserPage, skin = 'light', ready = '#app[aria-busy="false"]', prefix = '') {
        if (!(await this.automation.ok('openPanel')).panel)
            throw new Error('the manager made no panel');
        await browserPage.goto(await this.pageUrl(PANEL_PAGE, skin, prefix));
        await browserPage.waitForSelector(ready);
        return browserPage;
    }

    // Work areas with their tabs; "status" is relative to `window` (the current one when absent).
    async workAreas(window) {
        return (await this.automation.ok('listWorkAreas', window === undefined ? {} : { window })).workAreas;
    }

    async windows() {
        return (await this.automation.ok('listWindows')).windows;
    }

    async stop() {
        if (this.automation) {
            await this.automation.send('quit', { force: true }).catch(() => {});
            this.automation.close();
        }
        if (this.child)
            await stopProgram(this.child);
        fs.rmSync(this.runtime, { recursive: true, force: true });
        // A sanitizer report or a crash on the way out fails the run.
        if (this.child && (this.child.exitCode !== 0 || this.child.signalCode))
            throw new Error(`zelvashell ended with ${this.child.exitCode ?? this.child.signalCode}`);
    }
}

// The command-line arguments of a shell that is device `id` of alice.
function deviceArgs(id, name) {
    return ['--user', 'alice', '--device-id', id, '--device-name', name];
}

// One cirrad for several shells in a folder of its own, as the devices of one user on one machine reach
// it; it runs on its own, as run.sh starts it. serviceEnv adds to its environment. `env` goes to the
// shells; control() sends it a control request and answers its output; stop() ends the browser, the
// shells, the service and removes the folder.
function startDeviceService(prefix, serviceEnv = {}) {
    const dir = tempDir(prefix);
    const env = { KZELVA_CIRRA_SOCKET: path.join(dir, 'cirrad.sock'), KZELVA_CIRRAD: path.join(binDir(), 'cirrad') };
    const own = Object.assign({}, process.env, env, {
        XDG_RUNTIME_DIR: dir, KZELVA_PROFILE_DIR: path.join(dir, 'service'),
    }, serviceEnv);
    // Its state stays in the folder: nothing one run stored (devices, queued messages, calls) reaches the next.
    execFileSync(env.KZELVA_CIRRAD, ['--detach', '--state-dir', path.join(dir, 'state')],
                 { env: own, stdio: 'ignore', timeout: 60000 });
    const control = (request, args = {}) => execFileSync(env.KZELVA_CIRRAD,
        ['--control', request].concat(Object.entries(args).map(([key, value]) => `${key}=${value}`)),
        { env: own, encoding: 'utf8', timeout: 60000 });
    return {
        dir,
        env,
        control,
        async stop(browser, shells) {
            if (browser)
                await browser.close();
            for (const shell of shells)
                if (shell)
                    await shell.stop().catch(() => {});
            try {
                control('shutdown');
            } catch (error) { /* already gone */ }
            fs.rmSync(dir, { recursive: true, force: true });
        },
    };
}

module.exports = { Automation, WorkAreaShell, LONG, axeFindings, binDir, deviceArgs, launchBrowser, sourceDir,
                   startDeviceService, startProgram, stopProgram, tempDir, waitFor, waitForLine };
