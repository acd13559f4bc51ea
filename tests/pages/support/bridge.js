// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Helpers of the browser tests: the system's Chromium through playwright-core
// (never a downloaded browser) and programs that print a line when ready.
'use strict';

const { spawn } = require('node:child_process');
const path = require('node:path');
const readline = require('node:readline');
const { chromium } = require('playwright-core');

const CHROMIUM = process.env.KZ_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
                        '--disable-component-update', '--no-first-run'];

function sourceDir() {
    return process.env.KZ_SOURCE_DIR || path.resolve(__dirname, '..', '..', '..');
}

function binDir() {
    if (!process.env.KZ_BIN_DIR)
        throw new Error('KZ_BIN_DIR must name the build\'s bin folder');
    return process.env.KZ_BIN_DIR;
}

async function launchBrowser() {
    return chromium.launch({ executablePath: CHROMIUM, headless: true, args: CHROMIUM_FLAGS });
}

// Starts a program and resolves with {child, match} once a stdout line
// matches pattern; rejects when it exits first or after timeoutMs. Every
// stdout line is kept in child.lines. options go to spawn (env, cwd).
function startProgram(program, args, pattern, timeoutMs = 15000, options = {}) {
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
async function waitFor(predicate, what, timeoutMs = 5000) {
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
function waitForLine(child, pattern, timeoutMs = 5000) {
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
    const timer = setTimeout(() => child.kill('SIGKILL'), 5000);
    const code = await exited;
    clearTimeout(timer);
    return code;
}

module.exports = { launchBrowser, startProgram, stopProgram, waitFor, waitForLine, sourceDir, binDir };
