// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The popup's Devices view: the user's devices (this one marked, online or
// offline, rename in place, take offline), the documents open on each (a
// click relays one here), the cloud storage bar and "add mobile device",
// all through the "softbus.common" page API. Shown only when the API says
// so (isShowLabelsyncPage). Every name is set as text, never as HTML.
// Only devices whose data changed are rebuilt.
(function () {
    'use strict';

    const HANDLER = 'softbus.common';
    const RELAY_BUSY_MS = 15000;

    const state = {
        devices: new Map(),   // device id -> {data, node, key}
        relaying: new Set(),  // "deviceId/uuid"
        renaming: null,
        timer: null,
        arrived: false,
    };

    function call(method, params) {
        return kzbridge.request(HANDLER, method, params === undefined ? {} : { params: params });
    }

    const el = kzdom.el;
    const humanSize = kzdom.humanSize;

    function str(value) {
        return typeof value === 'string' ? value : '';
    }

    // ---- the section ----------------------------------------------------

    const section = el('section', { class: 'devices', id: 'devices', 'aria-labelledby': 'devices-heading', hidden: true });
    const status = el('p', { class: 'devices-status', role: 'status', 'aria-live': 'polite' });
    const list = el('ul', { class: 'device-list', 'aria-labelledby': 'devices-heading' });
    const storageBar = el('progress', { class: 'storage-bar', max: '100', value: '0', 'aria-label': 'Cloud storage used' });
    const storageText = el('span', { class: 'storage-text' });
    const retry = el('button', { class: 'btn small', type: 'button', text: 'Try again', hidden: true, onclick: load });

    function buildSection() {
        section.append(
            el('header', { class: 'devices-head' }, [
                el('h2', { id: 'devices-heading', text: 'Devices' }),
                el('button', { class: 'btn small', type: 'button', text: 'Add mobile device',
                               onclick: () => call('addMobileDevice').catch(() => setStatus('The service did not answer.')) }),
            ]),
            el('div', { class: 'storage' }, [storageBar, storageText]),
            status, retry, list);
        (document.getElementById('content') || document.body).appendChild(section);
    }

    function setStatus(message, busy) {
        status.textContent = message || '';
        section.setAttribute('aria-busy', busy ? 'true' : 'false');
        status.classList.toggle('spinner', !!busy);
    }

    // ---- rendering ------------------------------------------------------

    function tagKey(deviceId, uuid) {
        return deviceId + '/' + uuid;
    }

    function renderTag(device, tag) {
        const deviceId = str(device.device_id);
        const uuid = str(tag.uuid);
        const busy = state.relaying.has(tagKey(deviceId, uuid));
        const label = str(tag.name) || 'untitled';
        return el('li', {}, [
            el('button', {
                class: 'tag' + (busy ? ' relaying' : ''), type: 'button', 'aria-busy': busy ? 'true' : 'false',
                'aria-label': 'Open ' + label + ' here' + (busy ? ' (relaying)' : ''),
                onclick: () => relay(device, tag),
            }, [el('span', { class: 'tag-name', text: label }),
                el('span', { class: 'tag-type', text: str(tag.ftype) || str(tag.suffix) })]),
        ]);
    }

    function renderDevice(device) {
        const id = str(device.device_id);
        const online = device.status === 1;
        const local = device.is_Local === true;
        const name = el('span', { class: 'device-name', text: str(device.device_name) || id });
        const tags = Array.isArray(device.Tags) ? device.Tags.filter((t) => t && typeof t === 'object') : [];
        const actions = el('span', { class: 'device-actions' }, [
            el('button', { class: 'btn small', type: 'button', text: 'Rename',
                           'aria-label': 'Rename ' + (str(device.device_name) || id), onclick: () => startRename(id) }),
            !local && online ? el('button', { class: 'btn small danger-outline', type: 'button', text: 'Take offline',
                                              onclick: () => takeOffline(device) }) : null,
        ]);
        return el('li', { class: 'device' + (online ? ' online' : ' offline'), 'data-device': id }, [
            el('div', { class: 'device-row' }, [
                name,
                local ? el('span', { class: 'badge', text: 'This device' }) : null,
                el('span', { class: 'state', text: online ? 'Online' : 'Offline' }),
                actions,
            ]),
            tags.length && !local
                ? el('ul', { class: 'tags', 'aria-label': 'Documents open on ' + (str(device.device_name) || id) },
                     tags.map((t) => renderTag(device, t)))
                : el('p', { class: 'no-tags', text: local ? '' : 'No open documents' }),
        ]);
    }

    function render(data) {
        const devices = Array.isArray(data) ? data.filter((d) => d && typeof d === 'object' && str(d.device_id)) : [];
        const seen = new Set();
        devices.forEach((device, index) => {
            const id = str(device.device_id);
            if (seen.has(id))
                return;
            seen.add(id);
            const key = JSON.stringify(device) + [...state.relaying].filter((k) => k.startsWith(id + '/')).join();
            let entry = state.devices.get(id);
            if (!entry || entry.key !== key) {
                const node = renderDevice(device);
                if (entry && entry.node.parentNode)
                    entry.node.replaceWith(node);
                entry = { data: device, node: node, key: key };
                state.devices.set(id, entry);
            }
            if (list.children[index] !== entry.node)
                list.insertBefore(entry.node, list.children[index] || null);
        });
        for (const [id, entry] of state.devices) {
            if (!seen.has(id)) {
                entry.node.remove();
                state.devices.delete(id);
            }
        }
        setStatus(devices.length ? '' : 'No devices are signed in with this account.');
    }

    function onDevices(answer) {
        if (!answer || !Array.isArray(answer.data))
            return;
        state.arrived = true;
        clearTimeout(state.timer);
        retry.hidden = true;
        render(answer.data);
    }

    function onStorage(storage) {
        if (!storage || typeof storage !== 'object')
            return;
        const used = Number(storage.usedSize);
        const total = Number(storage.totalSize);
        if (!Number.isFinite(used) || !Number.isFinite(total) || total <= 0) {
            storageText.textContent = '';
            return;
        }
        storageBar.value = Math.min(100, Math.round((used * 100) / total));
        storageText.textContent = humanSize(used) + ' of ' + humanSize(total) + ' used';
    }

    // ---- actions --------------------------------------------------------

    async function relay(device, tag) {
        const key = tagKey(str(device.device_id), str(tag.uuid));
        if (state.relaying.has(key))
            return;
        state.relaying.add(key);
        rerender(str(device.device_id));
        setTimeout(() => { state.relaying.delete(key); rerender(str(device.device_id)); }, RELAY_BUSY_MS);
        const params = { deviceId: str(device.device_id), uuid: str(tag.uuid), fileid: str(tag.fileId),
                         ftype: str(tag.ftype), name: str(tag.name) };
        try {
            // Before the first relay the hint explains it; dismissing the hint relays.
            const first = await kzbridge.request('common', 'isFirstRelayLabel', {}).catch(() => null);
            if (first && first.isFirst === true) {
                const hint = await kzbridge.request('common', 'showFirstRelayWidget', { params: params }).catch(() => null);
                if (hint && hint.shown === true)
                    return;
            }
            await call('openSoftbussDeviceTag', params);
        } catch (error) {
            state.relaying.delete(key);
            rerender(str(device.device_id));
            setStatus('The document could not be requested.');
        }
    }

    function rerender(deviceId) {
        const entry = state.devices.get(deviceId);
        if (entry)
            render([...state.devices.values()].map((e) => e.data));
    }

    function startRename(id) {
        const entry = state.devices.get(id);
        if (!entry)
            return;
        const current = str(entry.data.device_name);
        const input = el('input', { class: 'rename', type: 'text', value: current, maxlength: '128',
                                    'aria-label': 'New name for ' + current });
        const nameNode = entry.node.querySelector('.device-name');
        nameNode.replaceWith(input);
        input.focus();
        input.select();
        let done = false;
        const finish = async (save) => {
            if (done)
                return;
            done = true;
            const name = input.value.trim();
            input.replaceWith(nameNode);
            if (save && name && name !== current) {
                nameNode.textContent = name;
                await call('renameSoftbussDevice', { deviceId: id, deviceName: name }).catch(() => {});
            }
            const button = entry.node.querySelector('.device-actions button');
            if (button)
                button.focus();
        };
        input.addEventListener('keydown', (e) => {
            if (e.key === 'Enter')
                finish(true);
            else if (e.key === 'Escape') {
                e.stopPropagation();
                finish(false);
            }
        });
        input.addEventListener('blur', () => finish(true));
    }

    async function takeOffline(device) {
        const answer = await call('offlineDevice', { appId: str(device.app_id), userId: str(device.user_id),
                                                     deviceId: str(device.device_id) }).catch(() => null);
        if (answer && answer.callStatus === 'ok')
            setStatus((str(device.device_name) || str(device.device_id)) + ' is being taken offline.');
    }

    // ---- start ----------------------------------------------------------

    async function load() {
        retry.hidden = true;
        setStatus('Looking for your devices…', true);
        let timeout = 3000;
        try {
            const answer = await call('queryObtainLabelTimeout');
            if (answer && Number.isFinite(answer.timeout) && answer.timeout > 0)
                timeout = Math.min(answer.timeout, 600000);
        } catch (error) { /* the default stands */ }
        clearTimeout(state.timer);
        state.arrived = false;
        state.timer = setTimeout(() => {
            if (state.arrived)
                return;
            setStatus('Your devices did not answer in time.');
            retry.hidden = false;
        }, timeout);
        call('getSoftbussDeviceAndTagsData').then((a) => { if (a && Array.isArray(a.data) && a.data.length) onDevices(a); })
            .catch(() => {});
        call('getSoftbussDeviceAndTags').catch(() => setStatus('The service did not answer.'));
        call('getStorageSize').then(onStorage).catch(() => {});
    }

    async function start() {
        let show = false;
        try {
            const answer = await call('isShowLabelsyncPage');
            show = !!(answer && answer.isShow === true);
        } catch (error) {
            return; // no label sync in this page
        }
        if (!show)
            return;
        buildSection();
        section.hidden = false;
        kzbridge.on('softbus.event.updateSoftbussDeviceAndTags', onDevices);
        kzbridge.on('softbus.event.updateStorageSize', onStorage);
        kzbridge.on('softbus.event.notifyDeviceRenameResult', (data) => {
            if (data && data.result === false)
                setStatus('The device could not be renamed.');
            call('getSoftbussDeviceAndTags').catch(() => {});
        });
        load();
    }

    if (document.readyState === 'loading')
        document.addEventListener('DOMContentLoaded', start);
    else
        start();
})();
