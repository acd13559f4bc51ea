// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Smoke test of the page script over the WebSocket transport: a page served
// by kzbridge_testserver, in headless Chromium, calls the test page API,
// receives an event and a host script, and the refusals hold in a real
// browser (wrong token, another origin; the size cap is proven in tst_kxwebbridgeserver).
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const { after, before, test } = require('node:test');
const http = require('node:http');
const { binDir, launchBrowser, sourceDir, startProgram, stopProgram, waitForLine } = require('./support/pages');

let server;
let browser;
let pageUrl;

before(async () => {
    const started = await startProgram(path.join(binDir(), 'kzbridge_testserver'), [
        '--www', path.join(sourceDir(), 'tests', 'pages', 'www'),
        '--js', path.join(sourceDir(), 'resources', 'js'),
    ], /^url (\S+)$/);
    server = started.child;
    pageUrl = started.match[1];
    browser = await launchBrowser();
});

after(async () => {
    if (browser)
        await browser.close();
    // A clean exit: under the sanitizers an error anywhere in the server aborts it.
    if (server)
        assert.equal(await stopProgram(server), 0);
});

async function openBridgePage() {
    const page = await browser.newPage();
    await page.goto(pageUrl);
    assert.equal(await page.evaluate(() => kzbridge.ready), 'websocket');
    return page;
}

test('calls get answers, asynchronous ones too; refused calls reject with the bridge code', async () => {
    const page = await openBridgePage();
    const answers = await page.evaluate(async () => {
        const codeOf = (promise) => promise.then(() => 'answered', (error) => error.code);
        return {
            echo: await kzbridge.call('common', 'echo', { params: { k: 'v' } }),
            sum: await kzbridge.request('common', 'add', { params: { a: 2, b: 3 } }),
            badTypes: await kzbridge.request('common', 'add', { params: { a: '2' } }),
            later: await kzbridge.request('common', 'later', { params: { ms: 30, text: 'done' } }),
            handler: await codeOf(kzbridge.call('nope', 'echo', {})),
            method: await codeOf(kzbridge.call('common', 'deleteLater', {})),
            tooLarge: await codeOf(kzbridge.call('common', 'echo', { params: { list: new Array(10000).fill(1) } })),
            stillWorks: await codeOf(kzbridge.call('common', 'echo', {})),
        };
    });
    assert.deepEqual(answers, { echo: { result: '{"k":"v"}' }, sum: { isSuccess: true, sum: 5 },
                                badTypes: { isSuccess: false }, later: { isSuccess: true, later: 'done' },
                                handler: 'unknownHandler', method: 'unknownMethod', tooLarge: 'tooLarge',
                                stillWorks: 'answered' });
    // The token leaves the address bar.
    assert.equal(new URL(page.url()).hash, '');
    await page.close();
});

test('events and host scripts reach the page', async () => {
    const page = await openBridgePage();
    await page.evaluate(() => kzbridge.call('common', 'emitEvent',
                                            { params: { name: 'test.event', payload: '{"n":7}' } }));
    await page.waitForFunction(() => window.seen.events.length === 1);
    assert.deepEqual(await page.evaluate(() => window.seen.events), [{ name: 'test.event', data: { n: 7 } }]);

    const ran = await page.evaluate(() => kzbridge.request('common', 'runScript',
                                                           { params: { script: "fromHost('hello')" } }));
    assert.deepEqual(ran, { pages: 1 });
    await page.waitForFunction(() => window.seen.scripts.length === 1);
    assert.deepEqual(await page.evaluate(() => window.seen.scripts), ['hello']);
    await page.close();
});

test('a wrong token is refused, and a page of another origin even with the token', async () => {
    const page = await browser.newPage();
    await page.goto(pageUrl.replace(/kztoken=[0-9a-f]+/, 'kztoken=0123456789abcdef0123456789abcdef'));
    assert.equal(await page.evaluate(() => kzbridge.call('common', 'echo', {}).then(() => 'answered', (e) => e.code)),
                 'closed');
    await waitForLine(server, /^refused WrongToken$/);
    // Another site on this machine that learnt the token: the Origin check stops it.
    const bridge = new URL(pageUrl);
    const token = new URLSearchParams(bridge.hash.slice(1)).get('kztoken');
    const site = http.createServer((request, response) => response.writeHead(200).end('<p>elsewhere</p>'));
    await new Promise((resolve) => site.listen(0, '127.0.0.1', resolve));
    try {
        await page.goto(`http://127.0.0.1:${site.address().port}/`);
        const outcome = await page.evaluate((url) => new Promise((resolve) => {
            const socket = new WebSocket(url);
            socket.onopen = () => resolve('opened');
            socket.onclose = () => resolve('closed');
        }), `ws://${bridge.host}/kzbridge?token=${token}&page=bridgetest`);
        assert.equal(outcome, 'closed');
        await waitForLine(server, /^refused BadOrigin$/);
    } finally {
        await page.close();
        site.close();
    }
});
