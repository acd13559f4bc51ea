// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel's "Messages and files" section with two real shells of one user
// (devices A and B) and one real cirrad, each shell's panel page in Chromium:
// messages both ways, messages to an offline B counted as unread when it
// returns, a file task paused, resumed and cancelled as both pages see it, a
// missing file failing in words, and B finding and losing A through
// discovery. axe-core checks the section in both skins.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { launchBrowser, waitFor } = require('./support/bridge');
const { WorkAreaShell, startDeviceService } = require('./workarea-shell');

const PAGE = 'mui/default/html/crossterminal/index.html#kzpage=kzelva_crossterminal_widget';
const AXE_SOURCE = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const SETTINGS = '[kzelvaworkarea]\nfirstEnableDiscoverService=false\n';
let service;
let browser;
const shells = {};
const pages = {};

async function startDevice(key, id, name) {
    shells[key] = await WorkAreaShell.start(service.env, SETTINGS, ['--user', 'alice', '--device-id', id, '--device-name', name]);
    await openPage(key);
}

async function openPage(key, skin = 'light') {
    assert.equal((await shells[key].automation.ok('openPanel')).panel, true);
    const info = await shells[key].bridgeInfo();
    const page = pages[key] || (pages[key] = await browser.newPage({ viewport: { width: 420, height: 900 } }));
    const [file, kzpage] = PAGE.split('#');
    await page.goto(`${info.origin}/${file}?lang=en_US&skin=${skin}#kztoken=${info.token}&${kzpage}`);
    await page.waitForSelector('#talk[data-ready="true"]', { timeout: 20000 });
    return page;
}

function peer(key, device) {
    return pages[key].locator(`.peer[data-device="${device}"]`);
}

async function say(key, device, text) {
    const row = peer(key, device);
    if ((await row.locator('.peer-toggle').getAttribute('aria-expanded')) !== 'true')
        await row.locator('.peer-toggle').press('Enter');
    await row.locator('input').fill(text);
    await row.locator('input').press('Enter');
}

function task(key) {
    return pages[key].locator('.task').first();
}

async function axeFindings(page) {
    await page.addScriptTag({ content: AXE_SOURCE });
    const result = await page.evaluate(() => axe.run('#talk', { resultTypes: ['violations'] }));
    return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

before(async () => {
    // Slow transfers (4 MiB/s) leave time to pause, resume and cancel.
    service = startDeviceService('cv-', { KZELVA_RELAY_RATE: String(4 << 20) });
    fs.writeFileSync(path.join(service.dir, 'big.bin'), Buffer.alloc(48 << 20, 7));
    browser = await launchBrowser();
    await startDevice('a', 'dev-a', 'Desk A');
    await startDevice('b', 'dev-b', 'Desk B');
});

after(() => service && service.stop(browser, Object.values(shells)));

test('messages go both ways; to an offline device they wait and count as unread on its return', async () => {
    await say('a', 'dev-b', 'hello from A');
    await peer('b', 'dev-a').locator('.msg.in', { hasText: 'hello from A' }).waitFor({ state: 'attached' });
    await say('b', 'dev-a', 'hi A, <b>B</b> here');
    await peer('a', 'dev-b').locator('.msg.in .text', { hasText: '<b>B</b>' }).waitFor();

    await shells.b.stop();
    delete shells.b;
    await peer('a', 'dev-b').locator('.offline', { hasText: 'Offline' }).waitFor();
    for (const text of ['one while you were away', 'and two'])
        await say('a', 'dev-b', text);
    await peer('a', 'dev-b').locator('.note', { hasText: 'Receiver offline' }).waitFor();
    await startDevice('b', 'dev-b', 'Desk B');
    const badge = peer('b', 'dev-a').locator('.unread');
    await waitFor(async () => (await badge.textContent()) === '2', 'two unread on B', 20000);
    assert.equal(await peer('b', 'dev-a').locator('.msg.in').count(), 2);
    await peer('b', 'dev-a').locator('.peer-toggle').press('Enter');
    assert.equal(await badge.isHidden(), true, 'opening the conversation reads it');
    await peer('a', 'dev-b').locator('.online', { hasText: 'Online' }).waitFor();
});

test('a file task shows progress and is paused, resumed and cancelled from the page, on both sides', async () => {
    await shells.a.automation.ok('sendToDevice', { path: path.join(service.dir, 'big.bin'), deviceId: 'dev-b' });
    for (const key of ['a', 'b'])
        await waitFor(async () => (await task(key).getAttribute('data-state')) === '1', `${key} sees it run`, 20000);
    await waitFor(async () => /MB\/s .* left/.test(await task('a').locator('.task-text').textContent()), 'speed and time left');
    assert.match(await task('b').locator('.dir').textContent(), /^from Desk A$/);

    const steps = [['Pause', '2', /^Paused/], ['Resume', '1', /of 48 MB/], ['Cancel', '5', /^Cancelled/]];
    for (const [button, state, text] of steps) {
        await task('a').getByRole('button', { name: button }).press('Enter');
        for (const key of ['a', 'b']) {
            await waitFor(async () => (await task(key).getAttribute('data-state')) === state, `${key}: ${button}`, 20000);
            assert.match(await task(key).locator('.task-text').textContent(), text);
        }
        if (state === '2') {
            const done = await task('a').locator('progress').getAttribute('value');
            assert.ok(Number(done) < 100, 'paused before the end');
        }
    }
    assert.equal(await task('a').locator('button:visible').count(), 0, 'nothing to control once cancelled');

    await shells.a.automation.send('sendToDevice', { path: path.join(service.dir, 'gone.txt'), deviceId: 'dev-b' });
    await waitFor(async () => (await task('a').getAttribute('data-state')) === '4', 'the failed task');
    assert.equal(await task('a').locator('.task-text').textContent(), 'Failed: file missing.');
});

test('B finds A while A lets itself be found, and loses it when A stops', async () => {
    const nearby = pages.b.locator('.nearby li[data-device="dev-a"]');
    const steps = [[true, 'attached'], [false, 'detached']];
    for (const [on, seen] of steps) {
        const box = pages.a.locator('#discover');
        if ((await box.isChecked()) !== on)
            await box.press('Space');
        await nearby.waitFor({ state: seen, timeout: 20000 });
    }
});

test('axe-core finds nothing serious in the section in either skin', async () => {
    for (const skin of ['light', 'dark']) {
        const page = await openPage('a', skin);
        await page.locator('.peer-toggle').first().press('Enter');
        assert.deepEqual(await axeFindings(page), [], skin);
    }
});
