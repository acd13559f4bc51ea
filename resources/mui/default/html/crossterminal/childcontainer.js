// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The sub-widget page beside the cross-terminal panel: the documents of one
// work area or of one device, as the panel page handed them over (getData).
// A work area's documents open on click or Enter and close with their
// button or Delete; a device's are listed. The page sizes its window to
// its content and reports ready once drawn.
(function () {
    'use strict';

    const API = 'crossterminalpanelsubwidget';
    const WIDTH = 320;
    const MAX_HEIGHT = 560;
    const $ = function (id) { return document.getElementById(id); };
    let ready = false;
    let shown = '';

    function call(method, params) {
        return kzbridge.call(API, method, params === undefined ? {} : { params: params });
    }
    function isObject(v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }
    function str(v) { return typeof v === 'string' ? v : ''; }

    function say(text) { $('status').textContent = text || ''; }

    async function act(element, method, params, label) {
        element.classList.add('busy');
        try {
            const answer = await call(method, params);
            const ok = answer && answer.result === true;
            say(ok ? '' : label + ' failed.');
            return ok;
        } catch (e) {
            say(label + ' failed.');
            return false;
        } finally {
            element.classList.remove('busy');
        }
    }

    function row(data, tag, editable) {
        const li = document.createElement('li');
        const open = document.createElement('button');
        open.type = 'button';
        open.className = 'open';
        open.textContent = str(tag.name) || str(tag.tagId);
        open.title = str(tag.path) || open.textContent;
        li.appendChild(open);
        if (!editable) {
            open.disabled = true;
            return li;
        }
        const ids = { workAreaId: str(tag.workAreaId) || str(data.workAreaId), tagId: str(tag.tagId) };
        open.addEventListener('click', function () { act(li, 'openTag', ids, 'Opening'); });
        if (tag.isOpen === true) {
            const close = document.createElement('button');
            close.type = 'button';
            close.className = 'icon-btn';
            close.textContent = '\u2715';
            close.setAttribute('aria-label', 'Close ' + open.textContent);
            close.title = 'Close (Delete)';
            close.addEventListener('click', async function () {
                if (await act(li, 'closeTag', ids, 'Closing')) {
                    const next = li.nextElementSibling || li.previousElementSibling;
                    li.remove();
                    fit();
                    if (next && next.querySelector('.open'))
                        next.querySelector('.open').focus();
                }
            });
            open.addEventListener('keydown', function (e) {
                if (e.key === 'Delete')
                    close.click();
            });
            li.appendChild(close);
        } else {
            const state = document.createElement('span');
            state.className = 'state';
            state.textContent = 'closed';
            li.appendChild(state);
        }
        return li;
    }

    function render(data) {
        const signature = JSON.stringify(data);
        if (signature === shown)
            return;
        shown = signature;
        $('title').textContent = str(data.title) || 'Documents';
        const list = $('tags');
        list.textContent = '';
        const tags = Array.isArray(data.tags) ? data.tags.filter(isObject) : [];
        const editable = data.kind !== 'device';
        tags.forEach(function (tag) { list.appendChild(row(data, tag, editable)); });
        if (!tags.length) {
            const none = document.createElement('li');
            none.className = 'empty';
            none.textContent = 'No documents';
            list.appendChild(none);
        }
        fit();
    }

    function fit() {
        const height = Math.min(MAX_HEIGHT, Math.ceil($('child').getBoundingClientRect().height) + 2);
        call('resize', { width: WIDTH, height: height }).catch(function () {});
    }

    async function load() {
        try {
            const answer = await call('getData');
            render(answer && isObject(answer.data) ? answer.data : {});
        } catch (e) {
            say('The documents could not be read.');
        }
        if (!ready) {
            ready = true;
            call('setPageReady').catch(function () {});
        }
        const first = document.querySelector('#tags .open:not([disabled])') || $('close');
        first.focus();
    }

    $('close').addEventListener('click', function () { call('closeWidget').catch(function () {}); });
    document.addEventListener('keydown', function (e) {
        if (e.key === 'Escape')
            call('closeWidget').catch(function () {});
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
            const items = Array.from(document.querySelectorAll('#tags .open'));
            const at = items.indexOf(document.activeElement);
            const next = items[at + (e.key === 'ArrowDown' ? 1 : -1)];
            if (next) {
                next.focus();
                e.preventDefault();
            }
        }
    });
    kzbridge.ready.then(function () {
        kzbridge.on('crossterminal.subwidget.event.show', load);
        load();
    });
}());
