// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The cross-terminal panel page: this device's work areas and their tabs,
// closed work areas, the user's other devices with their documents, and the
// device tools. Talks to "crossterminal.common" and "softbus.common" through
// kzbridge.js; listens to the panel's events and updates what changed.
// The host writes JSON objects with sorted keys: nothing here reads key order.
(function () {
    'use strict';

    const API = 'crossterminal.common';
    // One preview at a time, page-wide: the tab under the mouse may be drawn
    // anew while it is shown (the preview itself changes the listing).
    const preview = { timer: 0, shown: false };

    function endPreview() {
        clearTimeout(preview.timer);
        preview.timer = 0;
        if (preview.shown) {
            preview.shown = false;
            call('previewTagEnd', {}).catch(function () {});
        }
    }
    const SOFTBUS = 'softbus.common';
    const $ = function (id) { return document.getElementById(id); };

    const state = {
        open: [], close: [], devices: [], expanded: new Set(), editing: null, ready: false,
        rendered: new Map(), // workAreaId -> signature of what its card shows
    };

    function call(method, params, handler) {
        return kzbridge.request(handler || API, method, params === undefined ? {} : { params: params });
    }

    function succeeded(answer) {
        return answer === true || (answer && answer.isSuccess === true);
    }

    function say(text, isError) {
        const status = $('status');
        status.textContent = text || '';
        status.classList.toggle('error', !!isError);
    }

    // Runs `method` with the element marked busy; a failure is said, never thrown.
    async function act(element, label, method, params, handler) {
        if (element)
            element.classList.add('busy');
        say(label + '\u2026');
        try {
            const answer = await call(method, params, handler);
            const ok = succeeded(answer);
            say(ok ? '' : label + ' failed.', !ok);
            return ok;
        } catch (e) {
            say(label + ' failed: ' + (e && e.message ? e.message : 'no answer') + '.', true);
            return false;
        } finally {
            if (element)
                element.classList.remove('busy');
        }
    }

    function isObject(v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }
    function str(v) { return typeof v === 'string' ? v : ''; }

    // Keeps only well-formed work-area records.
    function workAreas(list) {
        if (!Array.isArray(list))
            return [];
        return list.filter(function (w) { return isObject(w) && typeof w.workAreaId === 'string' && w.workAreaId; })
            .map(function (w) {
                return {
                    workAreaId: w.workAreaId, name: str(w.name), status: str(w.status), isDefault: w.isDefault === true,
                    tags: Array.isArray(w.Tags) ? w.Tags.filter(function (t) {
                        return isObject(t) && typeof t.tagId === 'string' && t.tagId;
                    }) : [],
                };
            });
    }

    function applyListing(listing) {
        if (!isObject(listing))
            return false; // a malformed payload changes nothing
        state.open = workAreas(listing.open);
        state.close = workAreas(listing.close);
        render();
        return true;
    }

    function statusText(status) {
        return status === 'current' ? 'This window' : status === 'other' ? 'Another window' : '';
    }

    function tabItem(workArea, tag, closed) {
        const li = document.createElement('li');
        const open = document.createElement('button');
        open.type = 'button';
        open.className = 'tab-open' + (tag.isActive === true ? ' active' : '');
        open.textContent = str(tag.name) || '(untitled)';
        open.dir = 'auto';
        open.title = str(tag.name) + (str(tag.path) ? '\n' + str(tag.path) : '');
        open.dataset.tagId = tag.tagId;
        open.addEventListener('click', function () {
            act(li, 'Opening', 'openTag', { workAreaId: workArea.workAreaId, tagId: tag.tagId });
        });
        open.addEventListener('contextmenu', function (e) {
            e.preventDefault();
            call('popupMenu', { workAreaId: workArea.workAreaId, tagId: tag.tagId }).catch(function () {});
        });
        open.addEventListener('keydown', function (e) {
            if ((e.key === 'F10' && e.shiftKey) || e.key === 'ContextMenu') {
                e.preventDefault();
                call('popupMenu', { workAreaId: workArea.workAreaId, tagId: tag.tagId }).catch(function () {});
            }
        });
        if (!closed) {
            // Resting on a tab shows it in the window; leaving shows the old one again.
            open.addEventListener('mouseenter', function () {
                if (preview.shown)
                    return;
                clearTimeout(preview.timer);
                preview.timer = setTimeout(function () {
                    preview.timer = 0;
                    preview.shown = true;
                    call('previewTagStart', { workAreaId: workArea.workAreaId, tagId: tag.tagId, recordFlag: true })
                        .catch(function () {});
                }, 700);
            });
            open.addEventListener('mouseleave', endPreview);
        }
        li.appendChild(open);
        if (tag.isDirty === true) {
            const dot = document.createElement('span');
            dot.className = 'dot';
            dot.textContent = '\u25CF';
            dot.title = 'Unsaved changes';
            dot.setAttribute('aria-label', 'unsaved');
            li.appendChild(dot);
        }
        if (tag.lock === true) {
            const lock = document.createElement('span');
            lock.textContent = '\uD83D\uDD12';
            lock.title = 'Locked';
            lock.setAttribute('aria-label', 'locked');
            li.appendChild(lock);
        }
        const close = document.createElement('button');
        close.type = 'button';
        close.className = 'icon-btn';
        close.textContent = '\u2715';
        close.setAttribute('aria-label', 'Close ' + (str(tag.name) || 'tab'));
        close.addEventListener('click', function () {
            act(li, 'Closing the tab', 'closeWorkAreaTag', { workAreaId: workArea.workAreaId, tagId: tag.tagId });
        });
        li.appendChild(close);
        return li;
    }

    function startRename(card, workArea) {
        const nameEl = card.querySelector('.name');
        if (nameEl.querySelector('input'))
            return;
        state.editing = workArea.workAreaId;
        const input = document.createElement('input');
        input.value = workArea.name;
        input.maxLength = 128;
        input.setAttribute('aria-label', 'Work area name');
        nameEl.textContent = '';
        nameEl.appendChild(input);
        input.focus();
        input.select();
        let done = false;
        async function finish(save) {
            if (done)
                return;
            done = true;
            const value = input.value.trim();
            state.editing = null;
            if (save && value && value !== workArea.name) {
                workArea.name = value;
                await act(card, 'Renaming', 'renameWorkArea', { workAreaId: workArea.workAreaId, name: value });
            }
            state.rendered.delete(workArea.workAreaId);
            render();
            const again = document.querySelector('.card[data-id="' + CSS.escape(workArea.workAreaId) + '"]');
            if (again)
                again.focus();
        }
        input.addEventListener('keydown', function (e) {
            e.stopPropagation();
            if (e.key === 'Enter')
                finish(true);
            else if (e.key === 'Escape')
                finish(false);
        });
        input.addEventListener('blur', function () { finish(true); });
    }

    function moveCard(card, delta) {
        const ids = state.open.map(function (w) { return w.workAreaId; });
        const from = ids.indexOf(card.dataset.id);
        const to = from + delta;
        if (from < 0 || to < 0 || to >= ids.length)
            return;
        ids.splice(to, 0, ids.splice(from, 1)[0]);
        reorder(ids, card);
    }

    async function reorder(ids, element) {
        const byId = new Map(state.open.map(function (w) { return [w.workAreaId, w]; }));
        state.open = ids.map(function (id) { return byId.get(id); });
        render();
        await act(element, 'Reordering', 'dragWorkarea', { workAreaIdList: ids.join('|') });
    }

    // "More": the documents of one work area or device in the sub-widget
    // beside the panel.
    function showMore(element, kind, title, id, tags) {
        const height = Math.min(560, 56 + 34 * Math.max(1, tags.length));
        act(element, 'Opening the documents', 'showSubWidget',
            { data: { height: height, kind: kind, title: title, workAreaId: kind === 'workarea' ? id : '',
                      deviceId: kind === 'device' ? id : '', tags: tags } });
    }

    function buildCard(workArea, closed) {
        const card = $('tpl-card').content.firstElementChild.cloneNode(true);
        card.dataset.id = workArea.workAreaId;
        card.setAttribute('aria-label', workArea.name);
        const nameEl = card.querySelector('.name');
        nameEl.textContent = workArea.name || '(unnamed)';
        nameEl.title = workArea.name;
        card.querySelector('.badge').textContent = closed ? 'Closed' : statusText(workArea.status);
        card.querySelector('.count').textContent = workArea.tags.length + (workArea.tags.length === 1 ? ' tab' : ' tabs');
        const tabs = card.querySelector('.tabs');
        const expand = card.querySelector('.expand');
        const expanded = state.expanded.has(workArea.workAreaId);
        tabs.hidden = !expanded;
        expand.setAttribute('aria-expanded', String(expanded));
        workArea.tags.forEach(function (tag) { tabs.appendChild(tabItem(workArea, tag, closed)); });
        if (!workArea.tags.length) {
            const none = document.createElement('li');
            none.className = 'empty';
            none.textContent = 'No tabs';
            tabs.appendChild(none);
        }
        function toggle(show) {
            const on = show === undefined ? tabs.hidden : show;
            tabs.hidden = !on;
            expand.setAttribute('aria-expanded', String(on));
            if (on)
                state.expanded.add(workArea.workAreaId);
            else
                state.expanded.delete(workArea.workAreaId);
        }
        expand.addEventListener('click', function () { toggle(); });
        const sw = card.querySelector('.act-switch');
        sw.textContent = closed ? 'Reopen' : 'Switch';
        sw.addEventListener('click', function () {
            act(card, 'Switching', 'switchWorkArea', { workAreaId: workArea.workAreaId });
        });
        card.querySelector('.act-more').addEventListener('click', function (e) {
            showMore(e.currentTarget, 'workarea', workArea.name, workArea.workAreaId, workArea.tags);
        });
        const rename = card.querySelector('.act-rename');
        rename.addEventListener('click', function () { startRename(card, workArea); });
        card.querySelector('.name').addEventListener('dblclick', function () { startRename(card, workArea); });
        const save = card.querySelector('.act-save');
        save.hidden = closed;
        save.addEventListener('click', function () {
            act(card, 'Saving', 'forceSaveWorkArea', { workAreaId: workArea.workAreaId, isSave: true });
        });
        const remove = card.querySelector('.act-remove');
        const confirm = card.querySelector('.confirm');
        remove.disabled = workArea.isDefault;
        remove.addEventListener('click', function () {
            confirm.hidden = false;
            confirm.querySelector('.act-cancel').focus();
        });
        confirm.querySelector('.act-cancel').addEventListener('click', function () {
            confirm.hidden = true;
            card.focus();
        });
        confirm.querySelector('.act-confirm').addEventListener('click', function () {
            confirm.hidden = true;
            act(card, 'Removing', 'removeWorkArea', { workAreaId: workArea.workAreaId });
        });
        card.addEventListener('keydown', function (e) {
            if (e.target !== card)
                return;
            if (e.key === 'Enter') {
                sw.click();
            } else if (e.key === 'F2' && !closed) {
                e.preventDefault();
                startRename(card, workArea);
            } else if (e.key === 'Delete' && !workArea.isDefault) {
                remove.click();
            } else if (e.key === 'ArrowRight') {
                toggle(true);
            } else if (e.key === 'ArrowLeft') {
                toggle(false);
            } else if (e.altKey && (e.key === 'ArrowUp' || e.key === 'ArrowDown') && !closed) {
                e.preventDefault();
                moveCard(card, e.key === 'ArrowUp' ? -1 : 1);
            } else if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
                e.preventDefault();
                const cards = Array.from(document.querySelectorAll('.card'));
                const next = cards[cards.indexOf(card) + (e.key === 'ArrowDown' ? 1 : -1)];
                if (next)
                    next.focus();
            }
        });
        if (!closed) {
            card.addEventListener('dragstart', function (e) {
                card.classList.add('dragging');
                e.dataTransfer.setData('text/plain', workArea.workAreaId);
                e.dataTransfer.effectAllowed = 'move';
            });
            card.addEventListener('dragend', function () { card.classList.remove('dragging'); });
            card.addEventListener('dragover', function (e) {
                e.preventDefault();
                card.classList.add('drop-target');
            });
            card.addEventListener('dragleave', function () { card.classList.remove('drop-target'); });
            card.addEventListener('drop', function (e) {
                e.preventDefault();
                card.classList.remove('drop-target');
                const moved = e.dataTransfer.getData('text/plain');
                const ids = state.open.map(function (w) { return w.workAreaId; });
                const from = ids.indexOf(moved);
                const to = ids.indexOf(workArea.workAreaId);
                if (from < 0 || to < 0 || from === to)
                    return;
                ids.splice(to, 0, ids.splice(from, 1)[0]);
                reorder(ids, card);
            });
        } else {
            card.draggable = false;
        }
        return card;
    }

    // Updates the list in place: a card is rebuilt only when what it shows changed.
    function renderList(list, workAreas, closed) {
        const keep = new Set();
        let previous = null;
        workAreas.forEach(function (workArea, index) {
            const id = workArea.workAreaId;
            keep.add(id);
            const signature = JSON.stringify([closed, workArea, state.expanded.has(id)]);
            let card = list.querySelector(':scope > .card[data-id="' + CSS.escape(id) + '"]');
            if (state.editing === id && card) {
                previous = card;
                return;
            }
            if (!card || state.rendered.get(id) !== signature) {
                const fresh = buildCard(workArea, closed);
                const hadFocus = card && card.contains(document.activeElement);
                if (card)
                    card.replaceWith(fresh);
                card = fresh;
                state.rendered.set(id, signature);
                if (hadFocus)
                    card.focus();
            }
            card.tabIndex = index === 0 ? 0 : -1;
            const wanted = previous ? previous.nextElementSibling : list.firstElementChild;
            if (wanted !== card)
                list.insertBefore(card, wanted);
            previous = card;
        });
        Array.from(list.children).forEach(function (card) {
            if (!keep.has(card.dataset.id))
                card.remove();
        });
        if (!workAreas.length && !list.children.length) {
            const none = document.createElement('li');
            none.className = 'empty';
            none.textContent = closed ? 'Nothing closed recently.' : 'No work areas open.';
            list.appendChild(none);
        }
        Array.from(list.querySelectorAll(':scope > .empty')).forEach(function (e) {
            if (workAreas.length)
                e.remove();
        });
    }

    function render() {
        renderList($('open'), state.open, false);
        renderList($('closed'), state.close, true);
    }

    function deviceTag(device, tag) {
        const li = document.createElement('li');
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'tab-open';
        b.textContent = str(tag.name) || '(untitled)';
        b.title = 'Continue on this device';
        b.addEventListener('click', async function () {
            const params = { deviceId: str(device.device_id), uuid: str(tag.uuid), fileid: str(tag.fileId),
                ftype: str(tag.ftype), name: str(tag.name) };
            let first = false;
            try {
                first = (await kzbridge.call(API, 'isFirstRelayLabel', {})).result === true;
            } catch (e) { /* asked again next time */ }
            if (first) {
                const answer = await kzbridge.call(API, 'showFirstRelayWidget', { params: params }).catch(function () { return {}; });
                if (answer.callstatus === 'ok')
                    return;
            }
            act(li, 'Opening from ' + str(device.device_name), 'openSoftbussDeviceTag',
                params, SOFTBUS);
        });
        li.appendChild(b);
        return li;
    }

    function renderDevices() {
        const box = $('devices');
        box.textContent = '';
        const devices = state.devices;
        if (!devices.length) {
            const p = document.createElement('p');
            p.className = 'empty';
            p.textContent = 'No devices yet. Sign in with the same account on another device to see its documents here.';
            box.appendChild(p);
            return;
        }
        devices.forEach(function (device) {
            const div = document.createElement('div');
            div.className = 'device';
            const head = document.createElement('div');
            head.className = 'device-head';
            const name = document.createElement('span');
            name.className = 'dname';
            name.textContent = (str(device.device_name) || str(device.device_id)) + (device.is_Local === true ? ' (this device)' : '');
            head.appendChild(name);
            const st = document.createElement('span');
            const online = device.status === 1 || device.status === '1';
            st.className = online ? 'online' : 'offline';
            st.textContent = online ? 'Online' : 'Offline';
            head.appendChild(st);
            if (str(device.roaming_device_uuid)) {
                const folder = document.createElement('button');
                folder.type = 'button';
                folder.className = 'btn small';
                folder.textContent = 'Files';
                folder.title = 'Open the device\u2019s roaming folder';
                folder.addEventListener('click', function () {
                    act(div, 'Opening the folder', 'openRoamingDeviceDir', { uuid: device.roaming_device_uuid });
                });
                head.appendChild(folder);
            }
            const tags = Array.isArray(device.Tags) ? device.Tags.filter(isObject) : [];
            if (device.is_Local !== true && tags.length) {
                const more = document.createElement('button');
                more.type = 'button';
                more.className = 'icon-btn act-more';
                more.textContent = '\u2026';
                more.setAttribute('aria-label', 'More documents of ' + name.textContent);
                more.title = 'Documents beside the panel';
                more.addEventListener('click', function () {
                    showMore(more, 'device', name.textContent, str(device.device_id), tags);
                });
                head.appendChild(more);
            }
            div.appendChild(head);
            if (device.is_Local !== true && tags.length) {
                const ul = document.createElement('ul');
                tags.forEach(function (tag) { ul.appendChild(deviceTag(device, tag)); });
                div.appendChild(ul);
            }
            box.appendChild(div);
        });
    }

    function applyDevices(payload) {
        if (!isObject(payload) || !Array.isArray(payload.data))
            return false;
        state.devices = payload.data.filter(isObject);
        renderDevices();
        return true;
    }

    async function loadListing() {
        try {
            applyListing(await call('getWorkareaAndTagsList'));
        } catch (e) {
            say('The work areas could not be listed.', true);
        }
    }

    async function loadDevices() {
        try {
            applyDevices(await call('getSoftbussDeviceAndTagsData', {}, SOFTBUS));
        } catch (e) {
            say('The device service is unavailable.', true);
            renderDevices();
        }
    }

    async function loadTools() {
        try {
            const answer = await kzbridge.call(API, 'getDiscoverServiceSwitch', {});
            $('discover').checked = answer.switch === true;
        } catch (e) { /* the toggle stays off */ }
        try {
            const helper = await call('isTransferHelperAvailable');
            $('transfer').hidden = !(helper && helper.available === true);
        } catch (e) { /* stays hidden */ }
    }

    function wire() {
        $('create').addEventListener('click', async function () {
            try {
                const created = await call('createWorkArea');
                if (!succeeded(created)) {
                    say('No work area was made.', true);
                    return;
                }
                await loadListing();
                const card = document.querySelector('.card[data-id="' + CSS.escape(created.workAreaId) + '"]');
                const workArea = state.open.find(function (w) { return w.workAreaId === created.workAreaId; });
                if (card && workArea)
                    startRename(card, workArea);
            } catch (e) {
                say('No work area was made.', true);
            }
        });
        $('refresh').addEventListener('click', function () { loadListing(); loadDevices(); });
        $('received').addEventListener('click', function (e) { act(e.target, 'Opening received files', 'lookReceiveFile', {}); });
        $('transfer').addEventListener('click', function (e) { act(e.target, 'Opening the transfer helper', 'showTransferHelper', {}); });
        $('discover').addEventListener('change', async function (e) {
            const on = e.target.checked;
            let first = false;
            try {
                first = (await kzbridge.call(API, 'isFirstEnableDiscoverService', {})).switch === true;
            } catch (err) { /* asked again next time */ }
            if (on && first) {
                // The dialog's answer comes back as the discover-service event.
                e.target.checked = false;
                act(null, 'Asking', 'showFirstEnableDiscoverServiceDlg', {});
                return;
            }
            act(e.target.parentElement, on ? 'Turning discovery on' : 'Turning discovery off', 'enableDiscoverService', { switch: on });
        });
        $('link-form').addEventListener('submit', function (e) {
            e.preventDefault();
            const url = $('link').value.trim();
            if (!url) {
                say('Type a link first.', true);
                return;
            }
            act($('link-form'), 'Opening the link', 'openUrlInQoz', { url: url });
        });
        // The mouse on anything but a tab ends a preview whose tab was drawn anew.
        document.addEventListener('mouseover', function (e) {
            if (!(e.target instanceof Element) || !e.target.closest('.tab-open'))
                endPreview();
        });
        document.addEventListener('keydown', function (e) {
            if (e.ctrlKey && (e.key === 'n' || e.key === 'N')) {
                e.preventDefault();
                $('create').click();
            } else if (e.key === 'F5') {
                e.preventDefault();
                $('refresh').click();
            }
        });
        kzbridge.on('softbus.event.updateWorkarea', applyListing);
        kzbridge.on('softbus.event.containerRefresh', function (payload) { applyListing(payload); loadDevices(); });
        kzbridge.on('softbus.event.updateSoftbussDevices', applyDevices);
        kzbridge.on('softbus.event.updateSoftbussDeviceAndTags', applyDevices);
        kzbridge.on('softbus.event.hidePanel', function () {
            Array.from(document.querySelectorAll('.confirm')).forEach(function (c) { c.hidden = true; });
        });
        kzbridge.on('crossterminal.event.discoverServiceStatus', function (payload) {
            if (isObject(payload) && typeof payload.switch === 'boolean')
                $('discover').checked = payload.switch;
        });
        window.onSkinChanged = function (skin) {
            document.documentElement.dataset.skin = skin === 'dark' ? 'dark' : 'light';
        };
    }

    async function start() {
        wire();
        await kzbridge.ready;
        await Promise.all([loadListing(), loadDevices(), loadTools()]);
        $('app').setAttribute('aria-busy', 'false');
        const first = document.querySelector('.card');
        if (first)
            first.focus();
        if (!state.ready) {
            state.ready = true;
            call('pageReady').catch(function () {});
        }
    }

    // For the page's other scripts (service state, recently closed documents).
    window.KzPanel = {
        act: act,
        reload: function () { loadListing(); loadDevices(); },
    };

    start();
}());
