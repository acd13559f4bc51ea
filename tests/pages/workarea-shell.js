// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A running zelvashell for the work-area page tests: the shell offscreen
// with its page-API bridge on a WebSocket, its automation socket as the
// oracle, and the real work-area page opened in the system's Chromium.
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const readline = require('node:readline');
const { startProgram, stopProgram, waitFor, binDir } = require('./support/bridge');

const PAGE_PATH = 'mui/default/html/workarea/index.html';
const PAGE_NAME = 'kzelva_work_area_browser';

// One JSON line per request, answers matched by id.
class Automation {
    constructor(socketPath) {
        this.socketPath = socketPath;
        this.nextId = 1;
        this.waiting = new Map();
    }

    connect() {
        return new Promise((resolve, reject) => {
            this.socket = net.connect(this.socketPath, resolve);
            this.socket.once('error', reject);
            readline.createInterface({ input: this.socket }).on('line', (line) => {
                const answer = JSON.parse(line);
                const entry = this.waiting.get(answer.id);
                if (entry) {
                    this.waiting.delete(answer.id);
                    entry(answer);
                }
            });
        });
    }

    send(cmd, args = {}) {
        const id = this.nextId++;
        return new Promise((resolve) => {
            this.waiting.set(id, resolve);
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
        const base = process.env.XDG_RUNTIME_DIR || os.tmpdir();
        fs.mkdirSync(base, { recursive: true, mode: 0o700 });
        const runtime = fs.mkdtempSync(path.join(base, 'wa-'));
        fs.chmodSync(runtime, 0o700);
        shell.runtime = runtime;
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
                                           /^automation: (\S+)$/, 20000, { env });
        shell.child = started.child;
        shell.automation = new Automation(started.match[1]);
        await shell.automation.connect();
        shell.pid = (await shell.automation.ok('ping')).pid;
        return shell;
    }

    // The bridge publication appears once the first popup registered its page.
    async bridgeInfo(timeoutMs = 10000) {
        const file = path.join(this.runtime, 'zelva', `webbridge-${this.pid}.json`);
        await waitFor(() => fs.existsSync(file), `the bridge publication ${file}`, timeoutMs);
        return JSON.parse(fs.readFileSync(file, 'utf8'));
    }

    // Presses the corner button of `window` (current window when absent).
    async openPopup(window) {
        const answer = await this.automation.ok('pressWorkAreaButton', window === undefined ? {} : { window });
        if (!answer.popup)
            throw new Error('the manager made no popup');
    }

    async pageUrl(skin = 'light') {
        const info = await this.bridgeInfo();
        return `${info.origin}/${PAGE_PATH}?lang=en_US&disableGlobalInfoCollect=true&skin=${skin}`
            + `#kztoken=${info.token}&kzpage=${PAGE_NAME}`;
    }

    // Opens the popup and the page in `browserPage`, resolved once the cards are there.
    async showPage(browserPage, skin = 'light') {
        await this.openPopup();
        await browserPage.goto(await this.pageUrl(skin));
        await browserPage.waitForSelector('#app:not([aria-busy])');
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

// One cirrad for several shells in a folder of its own, as the devices of one user on one machine reach
// it; it runs on its own, as run.sh starts it. serviceEnv adds to its environment. `env` goes to the
// shells; stop() ends the browser, the shells, the service and removes the folder.
function startDeviceService(prefix, serviceEnv = {}) {
    const base = process.env.XDG_RUNTIME_DIR || os.tmpdir();
    fs.mkdirSync(base, { recursive: true, mode: 0o700 });
    const dir = fs.mkdtempSync(path.join(base, prefix));
    const env = { KZELVA_CIRRA_SOCKET: path.join(dir, 'cirrad.sock'), KZELVA_CIRRAD: path.join(binDir(), 'cirrad') };
    const own = Object.assign({}, process.env, env, {
        XDG_RUNTIME_DIR: dir, KZELVA_PROFILE_DIR: path.join(dir, 'service'),
    }, serviceEnv);
    execFileSync(env.KZELVA_CIRRAD, ['--detach'], { env: own, stdio: 'ignore', timeout: 15000 });
    return {
        dir,
        env,
        async stop(browser, shells) {
            if (browser)
                await browser.close();
            for (const shell of shells)
                if (shell)
                    await shell.stop().catch(() => {});
            try {
                execFileSync(env.KZELVA_CIRRAD, ['--control', 'shutdown'], { env: own, stdio: 'ignore', timeout: 15000 });
            } catch (error) { /* already gone */ }
            fs.rmSync(dir, { recursive: true, force: true });
        },
    };
}

module.exports = { Automation, WorkAreaShell, PAGE_NAME, startDeviceService };
