// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The popup's Devices view with two real shells of one user (devices A and B)
// against one real cirrad: B's page lists the document A has open, keeps its
// name as text, and a click relays it to B (A's tab goes, B gets a tab).
// KZ_SCREENSHOT_DIR, when set, receives a picture of the view.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { WorkAreaShell, deviceArgs, launchBrowser, startDeviceService, waitFor } = require('./support/pages');

const DOC_TITLE = '<b>plan & notes';
let service;
let shellA;
let shellB;
let browser;
let page;

async function tabsOf(shell) {
    return (await shell.windows()).flatMap((w) => w.tabs);
}

before(async () => {
    // Both shells reach one service, as two devices of one user on one machine do.
    service = startDeviceService('dv-');
    shellA = await WorkAreaShell.start(service.env, '', deviceArgs('dev-a', 'Desk A'));
    const created = await shellA.automation.ok('newDocument', { title: DOC_TITLE });
    await shellA.automation.ok('editTab', { tab: created.tab, text: 'A\'s edited text' });
    shellB = await WorkAreaShell.start(service.env, '', deviceArgs('dev-b', 'Desk B'));
    browser = await launchBrowser();
    page = await browser.newPage({ viewport: { width: 1050, height: 640 } });
    await shellB.showPage(page);
});

after(() => service && service.stop(browser, [shellB, shellA]));

test('B lists the document open on A, its name as text', async () => {
    const devices = page.locator('#devices');
    await devices.waitFor({ state: 'visible' });
    const tag = page.locator('.device[data-device="dev-a"] .tag-name', { hasText: 'plan' });
    await tag.waitFor();
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
                  'the hint to be shown once');
    assert.ok((await tabsOf(shellA)).some((t) => t.title.startsWith(DOC_TITLE)), 'the hint alone relays nothing');
    await shellB.automation.ok('clickButton', { name: 'iSeeButton' });
    await waitFor(async () => !(await tabsOf(shellA)).some((t) => t.title.startsWith(DOC_TITLE)), 'A\'s tab to close');
    await waitFor(async () => (await tabsOf(shellB)).some((t) => t.title.startsWith(DOC_TITLE)),
                  'B to hold the relayed document');
});
