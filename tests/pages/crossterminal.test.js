// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The cross-terminal panel's page in headless Chromium against a running
// zelvashell over the WebSocket transport: the panel opened through the
// shell's automation, the page's actions by keyboard and mouse, and the
// shell's state (panel and work areas) or cirrad's call log read back after
// each. A second shell of the same user (device A) gives the panel another
// device with a document to relay.
'use strict';

const assert = require('node:assert/strict');
const { after, before, test } = require('node:test');
const { WorkAreaShell, axeFindings, deviceArgs, launchBrowser, startDeviceService, waitFor } =
    require('./support/pages');

const NOTES = 'Field <b>notes</b>';
let service;
let shellA;
let shell;
let browser;
let page;

async function panelState() {
    return (await shell.automation.ok('panelState')).panel;
}

async function listing() {
    return (await shell.automation.ok('panelListing', { kind: 'plugin' })).listing;
}

function card(name) {
    return page.locator('#open .card', { has: page.locator('.name', { hasText: new RegExp(`^${name}$`) }) });
}

const openPanel = () => shell.showPanel(page);
const windowTabs = async () => (await shell.windows())[0].tabs;

before(async () => {
    // Both shells reach one service, as two devices of one user on one machine do.
    service = startDeviceService('ct-');
    shellA = await WorkAreaShell.start(service.env, '', deviceArgs('dev-a', 'Desk A'));
    await shellA.automation.ok('newDocument', { title: 'Tide tables' });
    shell = await WorkAreaShell.start(Object.assign({ KZELVA_DPI_SCALE: '1' }, service.env), '',
                                      deviceArgs('dev-b', 'Desk B'));
    const a = shell.automation;
    await a.ok('newDocument', { title: 'Quarterly report' });
    await a.ok('createWorkArea', { name: 'Research', makeCurrent: true });
    await a.ok('newDocument', { title: 'Notes on tides' });
    const areas = await shell.workAreas();
    await a.ok('switchWorkArea', { workArea: areas.find((w) => w.name !== 'Research').workAreaId });
    browser = await launchBrowser();
    page = await browser.newPage({ viewport: { width: 400, height: 720 } });
    await openPanel();
});

after(() => service && service.stop(browser, [shell, shellA]));

test('the panel shows under its button, reports ready and lists the open work areas in order', async () => {
    const state = await waitFor(async () => {
        const s = await panelState();
        return s.lifecycle === 'loaded' ? s : null;
    }, 'the page ready');
    assert.equal(state.visible, true);
    assert.ok(state.url.includes('/mui/default/html/crossterminal/index.html'));
    assert.equal(state.geometry.width, 400);
    const names = await page.locator('#open .card .name').allTextContents();
    assert.deepEqual(names, (await listing()).open.map((w) => w.name));
    assert.ok(names.includes('Research'));
});

test('F2 renames a work area inline; markup stays text', async () => {
    // By id: while the name is edited the card shows no name text.
    const id = await card('Research').getAttribute('data-id');
    const research = page.locator(`#open .card[data-id="${id}"]`);
    await research.focus();
    await page.keyboard.press('F2');
    const editor = research.locator('.name input');
    await editor.fill(NOTES);
    await editor.press('Enter');
    await waitFor(async () => (await shell.workAreas()).find((w) => w.name === NOTES), 'the rename');
    await card(NOTES).waitFor();
    assert.equal(await page.locator('#open b').count(), 0);
});

// Actions of the page, in order: what the row does in the page, then what the shell must show for it.
function actionTests(prefix, rows) {
    for (const [name, action, agrees] of rows) {
        test(`${prefix}: ${name}`, async () => {
            const before = (await listing()).open;
            await action();
            await waitFor(() => agrees(before), name);
        });
    }
}

actionTests('by keyboard and mouse', [
    ['Alt+Up reorders the work areas in the shell', async () => {
        await card(NOTES).locator('.badge').click();
        await card(NOTES).press('Alt+ArrowUp');
    }, async () => (await listing()).open[0].name === NOTES],
    ['closing a tab from the page closes it in the shell', async () => {
        await card(NOTES).locator('.expand').click();
        await card(NOTES).locator('.tabs li', { hasText: 'Notes on tides' }).getByRole('button', { name: /^Close/ }).click();
    }, async () => !(await windowTabs()).some((t) => t.title === 'Notes on tides')],
    ['Switch closes the panel and makes the work area current', async () => card(NOTES).locator('.act-switch').click(),
        async () => !(await panelState()).visible
            && (await shell.workAreas()).find((w) => w.status === 'current').name === NOTES],
]);

test('a failing call says so in the page', async () => {
    await openPanel();
    await page.fill('#link', '');
    await page.click('#link-form button[type="submit"]');
    assert.match(await page.locator('#status').textContent(), /Type a link first/);
});

// The other mouse actions of the page.
const DISCOVERY = 'qoz_softbus_service_discovery';
const cirradCalls = () => service.control('callLog');
// cirrad heard this device publish the discovery service (the panel's own listener only searches, mode 2).
const published = () => cirradCalls().split('\n').filter((l) => l.includes(DISCOVERY)).some((l) => {
    try {
        const sent = JSON.parse(JSON.parse(JSON.parse(l).arg.argMap.content).data);
        return sent.service_name === DISCOVERY && sent.mode === 0;
    } catch (e) {
        return false; // another record naming the service
    }
});
const otherDevice = () => page.locator('#devices .device', { hasText: 'Desk A' });
const defaultCard = () => page.locator('#open .card', { has: page.locator('.act-remove[disabled]') });
const currentTab = async () => (await windowTabs()).find((t) => t.current)?.title;
let made;
let shownBefore;
const MOUSE_ROWS = [
    ['"+ New" makes a work area', async () => page.click('#create'), async (before) => {
        made = (await listing()).open.find((w) => !before.some((b) => b.workAreaId === w.workAreaId));
        return made && (await page.locator(`#open .card[data-id="${made.workAreaId}"]`).count()) === 1;
    }],
    ['dragging a card onto the first reorders the shell', async () => {
        const cards = page.locator('#open .card .name');
        await cards.last().dragTo(cards.first());
    }, async (before) => (await listing()).open[0].workAreaId !== before[0].workAreaId],
    ['resting on a tab of another work area shows it in the window', async () => {
        const { tab } = await shell.automation.ok('newDocument', { title: 'Soundings' });
        await shell.automation.ok('activateTab', { tab });
        shownBefore = 'Soundings';
        // The new tab's row lands in a card above: hover only once the listing holds it, or the
        // rows move under the resting mouse.
        await waitFor(async () => (await page.locator('.tab-open', { hasText: 'Soundings' }).count()) > 0, 'Soundings listed');
        const area = defaultCard();
        await area.locator('.expand').click();
        await area.locator('.tab-open', { hasText: 'Quarterly report' }).hover();
    }, async () => (await currentTab()) === 'Quarterly report'],
    ['leaving the tab shows the window\'s own again', async () => page.hover('#create'),
        async () => (await currentTab()) === shownBefore],
    ['"Save now" stores the work area without a complaint', async () =>
        card(NOTES).locator('.act-save').click(),
    async () => !(await page.locator('#status').getAttribute('class')).includes('error')],
    ['removing after the confirmation closes the work area', async () => {
        const area = page.locator(`#open .card[data-id="${made.workAreaId}"]`);
        await area.locator('.act-remove').click();
        await area.locator('.act-confirm').click();
    }, async () => !(await shell.workAreas()).some((w) => w.workAreaId === made.workAreaId)],
    ['a right click on a tab opens the tab menu in the shell', async () =>
        defaultCard().locator('.tab-open', { hasText: 'Quarterly report' }).click({ button: 'right' }),
    async () => (await shell.automation.ok('listMenus')).menus.length === 1],
    ['clicking a tab opens it in the shell and closes the panel', async () =>
        defaultCard().locator('.tab-open', { hasText: 'Quarterly report' }).click(),
    async () => (await currentTab()) === 'Quarterly report' && (await panelState()).visible === false],
    ['the discovery toggle, after the first-time dialog, publishes this device in cirrad', async () => {
        await openPanel();
        await page.click('#discover');
        await waitFor(async () => (await shell.automation.send('answerDialog', { button: 'ok' })).ok, 'the dialog');
    }, async () => (await page.isChecked('#discover')) && published()],
    ['"Transfer helper" asks cirrad for its dialog', async () => page.click('#transfer'),
        async () => cirradCalls().includes('showTransferHelperDlg')],
    ['"Files" of another device shows its roaming folder on the start page', async () =>
        otherDevice().getByRole('button', { name: 'Files' }).click(),
    async () => /^showDevicesFile&[^&]*\/roaming\/[^&]*\/dev-a&/.test(
        (await shell.automation.ok('startPage')).startPage.lastCommand || '')],
    ['relaying a tag of another device moves it here after the first-relay hint', async () => {
        await openPanel();
        await otherDevice().locator('.tab-open', { hasText: 'Tide tables' }).click();
    }, async () => {
        await shell.automation.send('clickButton', { name: 'iSeeButton' }); // the hint's "I see", once it shows
        return (await windowTabs()).some((t) => t.title.startsWith('Tide tables'))
            && !(await shellA.windows()).flatMap((w) => w.tabs).some((t) => t.title.startsWith('Tide tables'));
    }],
];

actionTests('by mouse', MOUSE_ROWS);

test('axe-core finds nothing serious in either skin; long names show whole', async () => {
    await shell.automation.ok('createWorkArea', { name: 'A work area whose long name must be shown whole in its card' });
    for (const skin of ['light', 'dark']) {
        const view = await shell.showPanel(await browser.newPage({ viewport: { width: 400, height: 720 } }), skin);
        await view.evaluate(() => document.querySelectorAll('#open .expand').forEach((b) => b.click()));
        assert.deepEqual(await axeFindings(view), [], skin);
        const name = view.locator('#open .card .name', { hasText: 'shown whole' });
        assert.equal(await name.getAttribute('title'), 'A work area whose long name must be shown whole in its card');
        assert.ok(await name.evaluate((n) => n.scrollWidth <= n.clientWidth), `${skin}: the name is not cut`);
        await view.close();
    }
});
