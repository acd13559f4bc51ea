// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The popup's Devices view with two real shells of one user (devices A and B)
// against one real cirrad: B's page lists the document A has open, keeps its
// name as text, and a click relays it to B (A's tab goes, B gets a tab).
// KZ_SCREENSHOT_DIR, when set, receives a picture of the view.
'use strict';

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { launchBrowser, waitFor, binDir } = require('./support/bridge');
const { WorkAreaShell } = require('./workarea-shell');

const DOC_TITLE = '<b>plan & notes';
let shared;
let shellA;
let shellB;
let browser;
let page;
let stopService = () => {};

function deviceArgs(id, name) {
    return ['--user', 'alice', '--device-id', id, '--device-name', name];
}

async function tabsOf(shell) {
    return (await shell.windows()).flatMap((w) => w.tabs);
}

before(async () => {
    const base = process.env.XDG_RUNTIME_DIR || os.tmpdir();
    fs.mkdirSync(base, { recursive: true, mode: 0o700 });
    shared = fs.mkdtempSync(path.join(base, 'dv-'));
    // Both shells reach one service, as two devices of one user on one machine do.
    const env = {
        KZELVA_CIRRA_SOCKET: path.join(shared, 'cirrad.sock'),
        KZELVA_CIRRAD: path.join(binDir(), 'cirrad'),
    };
    // The service runs on its own, as run.sh starts it.
    const serviceEnv = Object.assign({}, process.env, env, {
        XDG_RUNTIME_DIR: shared,
        KZELVA_PROFILE_DIR: path.join(shared, 'service'),
    });
    execFileSync(env.KZELVA_CIRRAD, ['--detach'], { env: serviceEnv, stdio: 'ignore', timeout: 15000 });
    stopService = () => execFileSync(env.KZELVA_CIRRAD, ['--control', 'shutdown'],
                                     { env: serviceEnv, stdio: 'ignore', timeout: 15000 });
    shellA = await WorkAreaShell.start(env, '', deviceArgs('dev-a', 'Desk A'));
    const created = await shellA.automation.ok('newDocument', { title: DOC_TITLE });
    await shellA.automation.ok('editTab', { tab: created.tab, text: 'A\'s edited text' });
    shellB = await WorkAreaShell.start(env, '', deviceArgs('dev-b', 'Desk B'));
    browser = await launchBrowser();
    page = await browser.newPage({ viewport: { width: 1050, height: 640 } });
    await shellB.showPage(page);
});

after(async () => {
    if (browser)
        await browser.close();
    for (const shell of [shellB, shellA])
        if (shell)
            await shell.stop().catch(() => {});
    try {
        stopService();
    } catch (error) { /* already gone */ }
    fs.rmSync(shared, { recursive: true, force: true });
});

test('B lists the document open on A, its name as text', async () => {
    const devices = page.locator('#devices');
    await devices.waitFor({ state: 'visible' });
    const tag = page.locator('.device[data-device="dev-a"] .tag-name', { hasText: 'plan' });
    await tag.waitFor({ timeout: 20000 });
    assert.equal(await tag.textContent(), DOC_TITLE);
    assert.equal(await page.locator('.device[data-device="dev-a"] b').count(), 0);
    assert.equal(await page.locator('.device[data-device="dev-b"] .badge').textContent(), 'This device');
    if (process.env.KZ_SCREENSHOT_DIR)
        await devices.screenshot({ path: path.join(process.env.KZ_SCREENSHOT_DIR, 'devices-view.png') });
});

test('Enter shows the first-relay hint the first time, and "I see" relays the document to B', async () => {
    const settings = path.join(shellB.runtime, 'profile', 'config', 'zelva', 'plugins.ini');
    const button = page.locator('.device[data-device="dev-a"] .tag', { hasText: 'plan' });
    await button.focus();
    await page.keyboard.press('Enter');
    await waitFor(() => fs.existsSync(settings) && /isFirstRelayLabel=false/.test(fs.readFileSync(settings, 'utf8')),
                  'the hint to be shown once', 20000);
    assert.ok((await tabsOf(shellA)).some((t) => t.title.startsWith(DOC_TITLE)), 'the hint alone relays nothing');
    await shellB.automation.ok('clickButton', { name: 'iSeeButton' });
    await waitFor(async () => !(await tabsOf(shellA)).some((t) => t.title.startsWith(DOC_TITLE)),
                  'A\'s tab to close', 20000);
    await waitFor(async () => (await tabsOf(shellB)).some((t) => t.title.startsWith(DOC_TITLE)),
                  'B to hold the relayed document', 20000);
});
