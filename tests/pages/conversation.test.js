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
const { WorkAreaShell, axeFindings, deviceArgs, launchBrowser, startDeviceService, waitFor } =
    require('./support/pages');

const READY = '#talk[data-ready="true"]';
const SETTINGS = '[kzelvaworkarea]\nfirstEnableDiscoverService=false\n';
let service;
let browser;
const shells = {};
const pages = {};

async function startDevice(key, id, name) {
    shells[key] = await WorkAreaShell.start(service.env, SETTINGS, deviceArgs(id, name));
    pages[key] = pages[key] || await browser.newPage({ viewport: { width: 420, height: 900 } });
    await shells[key].showPanel(pages[key], 'light', READY);
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

function taskState(key, state, what) {
    return waitFor(async () => (await task(key).getAttribute('data-state')) === state, `${key}: ${what}`);
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
    // The first is answered late: the second is typed and sent while it travels.
    service.control('delay', { function: 'cirraIpcCall', method: 'requestSoftBusCommunicator', ms: 1500, count: 1 });
    for (const text of ['one while you were away', 'and two'])
        await say('a', 'dev-b', text);
    await peer('a', 'dev-b').locator('.note', { hasText: 'Receiver offline' }).waitFor();
    await startDevice('b', 'dev-b', 'Desk B');
    const badge = peer('b', 'dev-a').locator('.unread');
    await waitFor(async () => (await badge.textContent()) === '2', 'two unread on B');
    assert.equal(await peer('b', 'dev-a').locator('.msg.in').count(), 2);
    await peer('b', 'dev-a').locator('.peer-toggle').press('Enter');
    assert.equal(await badge.isHidden(), true, 'opening the conversation reads it');
    await peer('a', 'dev-b').locator('.online', { hasText: 'Online' }).waitFor();
});

test('a file task shows progress and is paused, resumed and cancelled from the page, on both sides', async () => {
    await shells.a.automation.ok('sendToDevice', { path: path.join(service.dir, 'big.bin'), deviceId: 'dev-b' });
    for (const key of ['a', 'b'])
        await taskState(key, '1', 'the task runs');
    await waitFor(async () => /MB\/s .* left/.test(await task('a').locator('.task-text').textContent()), 'speed and time left');
    // The speed follows the 4 MiB/s pace, not the bursts in which progress notices arrive.
    const speed = Number(/([\d.]+) MB\/s/.exec(await task('a').locator('.task-text').textContent())[1]);
    assert.ok(speed > 0 && speed < 16, `speed ${speed} MB/s`);
    assert.match(await task('b').locator('.dir').textContent(), /^from Desk A$/);

    const steps = [['Pause', '2', /^Paused/], ['Resume', '1', /of 48 MB/], ['Cancel', '5', /^Cancelled/]];
    for (const [button, state, text] of steps) {
        await task('a').getByRole('button', { name: button }).press('Enter');
        for (const key of ['a', 'b']) {
            await taskState(key, state, button);
            assert.match(await task(key).locator('.task-text').textContent(), text);
        }
        if (state === '2') {
            const done = await task('a').locator('progress').getAttribute('value');
            assert.ok(Number(done) < 100, 'paused before the end');
        }
    }
    assert.equal(await task('a').locator('button:visible').count(), 0, 'nothing to control once cancelled');

    await shells.a.automation.send('sendToDevice', { path: path.join(service.dir, 'gone.txt'), deviceId: 'dev-b' });
    await taskState('a', '4', 'the failed task');
    assert.equal(await task('a').locator('.task-text').textContent(), 'Failed: file missing.');
});

test('B finds A while A lets itself be found, and loses it when A stops', async () => {
    const nearby = pages.b.locator('.nearby li[data-device="dev-a"]');
    const steps = [[true, 'attached'], [false, 'detached']];
    for (const [on, seen] of steps) {
        const box = pages.a.locator('#discover');
        if ((await box.isChecked()) !== on)
            await box.press('Space');
        await nearby.waitFor({ state: seen });
    }
});

// Every page method of "softbus.communicator" and "softbus.device" with good and bad arguments:
// [handler, method, good arguments, code answered, bad arguments or null when it reads none].
// Code 3 refuses bad arguments; 16777216 is a device-layer failure (dev-none is not a device).
const C = 'softbus.communicator';
const D = 'softbus.device';
const OWNER = { ownerId: 'table-owner' };
const METHODS = [
    [C, 'isDeviceOnline', {}, 0, null],
    [C, 'appendDeviceAbility', { ability: { ability: 'table', version: '1' } }, 0, { ability: 'table' }],
    [C, 'getDeviceInfoList', { deviceStatus: 0 }, 0, { deviceStatus: '0' }],
    [C, 'getDeviceInfo', {}, 3, null],
    [C, 'getCurrentDeviceInfo', {}, 0, null],
    [C, 'renameDevice', {}, 3, null],
    [C, 'deleteDeviceInfo', {}, 3, null],
    [C, 'sendMsg', { req: { to: { device_id: 'dev-b' }, action: 'table', content: 'from the table' } }, 0,
        { req: { to: { device_id: '' }, action: 'table', content: 'x' } }],
    [C, 'handleMsg', {}, 3, null],
    [C, 'listenCurrentDeviceOnlineChange', {}, 0, null],
    [C, 'listenMsg', { action: 'table' }, 0, { action: 7 }],
    [C, 'listenOfflineMsgNotice', { action: 'table' }, 0, { action: {} }],
    [C, 'listenDeviceInfoChange', {}, 0, null],
    [C, 'queryOfflineMsg', {}, 3, null],
    [C, 'pingNearFieldDevice', {}, 3, null],
    [C, 'listenFileTaskInfo', { action: 'table-owner' }, 0, { action: '' }],
    [C, 'recoverTaskByOwnerId', OWNER, 3, null],
    [C, 'resumeTaskByOwnerId', OWNER, 0, { ownerId: 'x'.repeat(4096) }],
    [C, 'pauseTaskByOwnerId', OWNER, 0, { ownerId: 'a\u0000b' }],
    [C, 'cancelTaskByOwnerId', OWNER, 0, {}],
    [C, 'discoverServiceSearch', {}, 3, null],
    [C, 'listenDiscoverServiceSearch', { serviceName: 'table' }, 0, { serviceName: null }],
    [C, 'send', {}, 3, null],
    [C, 'listenMessage', {}, 3, null],
    [D, 'getDeviceInfoList', {}, 0, null],
    [D, 'getDeviceInfo', { device_id: 'dev-b' }, 0, {}],
    [D, 'getCurrentDeviceInfo', {}, 0, null],
    [D, 'renameDevice', { device_id: 'dev-b', device_name: 'Desk B' }, 0, { device_id: 'dev-b', device_name: ' ' }],
    [D, 'listenCurrentDeviceOnlineChange', {}, 0, null],
    [D, 'listenDeviceInfoChange', {}, 0, null],
    [D, 'deleteDeviceInfo', { device_id: 'dev-none' }, 16777216, { device_id: 5 }],
];

test('every page method answers good arguments and refuses bad ones, never hanging', async () => {
    const page = await shells.a.showPanel(await browser.newPage(), 'light', READY);
    // Nested past the handler's 8 levels: code 3; past the bridge's limits: the bridge refuses the call.
    const nested = (levels) => ({ req: JSON.parse('{"a":'.repeat(levels) + '1' + '}'.repeat(levels)) });
    const rows = METHODS.flatMap(([h, m, good, code, bad]) => [[h, m, good, code]].concat(bad ? [[h, m, bad, 3]] : []))
        .concat([[C, 'sendMsg', nested(12), 3], [C, 'sendMsg', nested(40), 'refused'],
                 [C, 'listenMsg', { action: 'x'.repeat(300 << 10) }, 'refused']]);
    const answers = await page.evaluate(async (calls) => {
        const within = (p) => Promise.race([p, new Promise((resolve) => setTimeout(() => resolve('hang'), 30000))]);
        const out = [];
        for (const [h, m, args] of calls)
            out.push(await within(kzbridge.request(h, m, args).then((a) => a.code, () => 'refused')));
        return out;
    }, rows.map(([h, m, args]) => [h, m, args]));
    assert.deepEqual(rows.map(([h, m, args, code], i) => `${h}.${m} ${JSON.stringify(args).slice(0, 60)} -> ${answers[i]}`),
                     rows.map(([h, m, args, code]) => `${h}.${m} ${JSON.stringify(args).slice(0, 60)} -> ${code}`));
    assert.equal(new Set(METHODS.map(([h, m]) => `${h}.${m}`)).size, 31);
    await page.close();
});

test('a reloaded page hears each message once; listening twice hears it twice', async () => {
    // Events per message text; a later message seen means every copy of an earlier one has come.
    const listen = () => pages.a.evaluate(() => {
        window.tableHeard = {};
        if (window.tableListening)
            return;
        window.tableListening = true;
        kzbridge.on('event.softbus.msg', (p) => {
            const text = p && p.data ? p.data.content : '';
            window.tableHeard[text] = (window.tableHeard[text] || 0) + 1;
        });
    });
    for (const [reload, copies] of [[true, 1], [false, 2]]) {
        if (reload) {
            await pages.a.reload();
            await pages.a.waitForSelector(READY);
        } else {
            await pages.a.evaluate(() => kzbridge.request('softbus.communicator', 'listenMsg', { action: 'chat' }));
        }
        await listen();
        for (const text of [`${reload} first`, `${reload} second`])
            await say('b', 'dev-a', text);
        await peer('a', 'dev-b').locator('.msg.in', { hasText: `${reload} second` }).waitFor({ state: 'attached' });
        assert.equal(await pages.a.evaluate((t) => window.tableHeard[t], `${reload} first`), copies,
                     reload ? 'after a reload' : 'listening twice');
    }
});

test('axe-core finds nothing serious in the section in either skin', async () => {
    for (const skin of ['light', 'dark']) {
        const page = await shells.a.showPanel(pages.a, skin, READY);
        await page.locator('.peer-toggle').first().press('Enter');
        assert.deepEqual(await axeFindings(page, '#talk'), [], skin);
    }
});
