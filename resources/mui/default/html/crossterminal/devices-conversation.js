// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel's "Messages and files" section, through "softbus.communicator":
// whether this device is online, the user's other devices as they change,
// a conversation per device (with the number of messages that came while
// this device was offline), the file tasks between devices with progress,
// speed, time left, pause, resume and cancel, and the devices that discovery
// finds nearby. Every row is built once and then only its changed parts are
// set, so a progress notice touches one bar and one line of text. Failures
// are said in words; names and messages are always set as text.
(function () {
    'use strict';

    const BUS = 'softbus.communicator';
    const CHAT = 'chat';                     // the action of the panel's messages
    const OWNER = 'qoz-office';              // owner id of the shell's file tasks
    const DISCOVERY = 'qoz_softbus_service_discovery';
    const MAX_MESSAGE = 4000;
    const MAX_LOG = 200;                     // messages kept per conversation
    const SPEED_WINDOW_MS = 500;             // shortest span a transfer speed is taken over
    const TASK_WORDS = ['Waiting: receiver offline', 'Sending', 'Paused', 'Done', 'Failed', 'Cancelled'];
    const TASK_REASONS = {
        file_missing: 'file missing', file_unreadable: 'file unreadable', not_a_file: 'not a regular file',
        too_large: 'file too large (256 MiB at most)', file_changed: 'file changed while sending', disk_full: 'receiver disk full',
        cannot_save: 'receiver cannot save the file', check_failed: 'received bytes did not match',
        receiver_offline: 'receiver offline', sender_offline: 'the sending device went offline',
        service_lost: 'the device service stopped',
    };
    const CALL_WORDS = {
        1: 'no connection to the device service', 3: 'the request could not be read', 4: 'unreadable answer',
        403: 'not one of your devices', 404: 'device not found', 409: 'device busy', 422: 'the request could not be read',
        429: 'too many requests',
    };

    const state = {
        me: '',
        online: null,
        peers: new Map(),   // device id -> peer
        tasks: new Map(),   // task id -> task row
        nearby: new Map(),  // device id -> list item
        seen: new Set(),    // message ids already shown
        nextId: 1,
    };
    let view = null;

    const el = kzdom.el;

    function isObject(v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }
    function str(v) { return typeof v === 'string' ? v : ''; }
    function num(v) { return typeof v === 'number' && Number.isFinite(v) ? v : 0; }

    // Sets a node's text only when it differs, so unchanged parts stay untouched.
    function setText(node, text) {
        if (node.textContent !== text)
            node.textContent = text;
    }

    function humanSize(value) {
        return kzdom.humanSize(num(value));
    }

    function humanDuration(seconds) {
        const s = Math.max(1, Math.round(seconds));
        if (s < 60)
            return s + ' s';
        if (s < 3600)
            return Math.round(s / 60) + ' min';
        return Math.floor(s / 3600) + ' h ' + Math.round((s % 3600) / 60) + ' min';
    }

    function callWords(code) {
        return CALL_WORDS[code] || 'the device service refused it';
    }

    // An answer of the bus: {code, success, data}; a thrown call gives code -1.
    async function bus(method, args) {
        try {
            const answer = await kzbridge.request(BUS, method, args || {});
            return isObject(answer) ? answer : { code: 4, success: false, data: null };
        } catch (e) {
            return { code: -1, success: false, data: null, error: e && e.message ? e.message : 'no answer' };
        }
    }

    // The record inside a device answer ({code, msg, data}), or null with the words of its failure.
    function deviceAnswer(answer) {
        if (!answer.success)
            return { record: null, words: answer.code === -1 ? 'no answer from the shell' : callWords(answer.code) };
        const inner = answer.data;
        if (!isObject(inner) || inner.code !== 0)
            return { record: null, words: callWords(isObject(inner) ? inner.code : 4) };
        return { record: inner, words: '' };
    }

    function identity(value) {
        return isObject(value) && typeof value.device_id === 'string' && value.device_id ? value : null;
    }

    // ---- this device -------------------------------------------------------------

    function setOnline(online) {
        if (typeof online !== 'boolean' || online === state.online)
            return;
        state.online = online;
        setText(view.me, online ? 'This device is online' : 'This device is offline');
        view.me.className = 'me ' + (online ? 'online' : 'offline');
    }

    // ---- devices and conversations -----------------------------------------------

    function peerName(peer) {
        return peer.name || peer.id;
    }

    function buildPeer(id) {
        const n = state.nextId++;
        const peer = { id: id, name: '', online: null, identify: { device_id: id }, unread: 0, offlineLeft: 0,
                       sending: 0 };
        peer.toggle = el('button', { type: 'button', class: 'peer-toggle', 'aria-expanded': 'false',
                                     'aria-controls': 'peer-body-' + n, dir: 'auto' });
        peer.status = el('span', { class: 'offline' });
        peer.badge = el('span', { class: 'unread', hidden: true });
        peer.log = el('ol', { class: 'log', 'aria-live': 'polite', tabindex: '0' });
        peer.input = el('input', { id: 'peer-input-' + n, type: 'text', maxlength: String(MAX_MESSAGE),
                                   autocomplete: 'off', dir: 'auto' });
        peer.label = el('label', { for: 'peer-input-' + n, class: 'sr-only' });
        peer.note = el('p', { class: 'note', role: 'status' });
        peer.send = el('button', { type: 'submit', class: 'btn small', text: 'Send' });
        peer.body = el('div', { class: 'peer-body', id: 'peer-body-' + n, hidden: true }, [
            peer.log,
            el('form', { class: 'msg-form', onsubmit: function (e) { e.preventDefault(); sendMessage(peer); } },
               [peer.label, peer.input, peer.send]),
            peer.note,
        ]);
        peer.root = el('li', { class: 'peer', 'data-device': id }, [
            el('div', { class: 'peer-head' }, [peer.toggle, peer.status, peer.badge]),
            peer.body,
        ]);
        peer.toggle.addEventListener('click', function () { expand(peer, peer.body.hidden); });
        peer.root.addEventListener('keydown', function (e) {
            if (e.key === 'Escape' && !peer.body.hidden) {
                e.stopPropagation();
                expand(peer, false);
                peer.toggle.focus();
            }
        });
        state.peers.set(id, peer);
        view.peers.appendChild(peer.root);
        showEmpty();
        return peer;
    }

    function updatePeer(peer, identify, online) {
        if (identify) {
            peer.identify = identify;
            const name = str(identify.device_name);
            if (name && name !== peer.name) {
                peer.name = name;
                setText(peer.toggle, name);
                setText(peer.label, 'Message to ' + name);
                peer.log.setAttribute('aria-label', 'Conversation with ' + name);
            }
        }
        if (!peer.name)
            setText(peer.toggle, peer.id);
        if (typeof online === 'boolean' && online !== peer.online) {
            peer.online = online;
            setText(peer.status, online ? 'Online' : 'Offline');
            peer.status.className = online ? 'online' : 'offline';
        }
    }

    function peerFor(identify, online) {
        const id = identify.device_id;
        if (id === state.me)
            return null;
        const peer = state.peers.get(id) || buildPeer(id);
        updatePeer(peer, identify, online);
        return peer;
    }

    function removePeer(id) {
        const peer = state.peers.get(id);
        if (!peer)
            return;
        const hadFocus = peer.root.contains(document.activeElement);
        peer.root.remove();
        state.peers.delete(id);
        showEmpty();
        if (hadFocus)
            view.heading.focus();
    }

    function showEmpty() {
        view.noPeers.hidden = state.peers.size > 0;
    }

    function setUnread(peer, count) {
        peer.unread = Math.max(0, count);
        peer.badge.hidden = peer.unread === 0;
        setText(peer.badge, String(peer.unread));
        peer.badge.setAttribute('aria-label', peer.unread + (peer.unread === 1 ? ' unread message' : ' unread messages'));
    }

    function expand(peer, open) {
        peer.body.hidden = !open;
        peer.toggle.setAttribute('aria-expanded', String(open));
        if (open) {
            setUnread(peer, 0);
            peer.input.focus();
        }
    }

    function appendMessage(peer, text, outgoing, time, note) {
        const when = time ? new Date(time) : new Date();
        const item = el('li', { class: 'msg ' + (outgoing ? 'out' : 'in') }, [
            el('span', { class: 'who', text: outgoing ? 'You' : peerName(peer) }),
            el('span', { class: 'text', text: text, dir: 'auto' }),
            el('time', { datetime: when.toISOString(), text: when.toLocaleTimeString([], { hour: '2-digit', minute: '2-digit' }) }),
        ]);
        if (note)
            item.appendChild(el('span', { class: 'msg-note', text: note }));
        peer.log.appendChild(item);
        while (peer.log.children.length > MAX_LOG)
            peer.log.firstElementChild.remove();
        peer.log.scrollTop = peer.log.scrollHeight;
        return item;
    }

    // The message enters the log and leaves the field at once, so the next one can be typed and sent
    // while it travels; one that is not sent says why in the log and, when the field is empty, comes
    // back to it to be sent again.
    async function sendMessage(peer) {
        const text = peer.input.value.trim();
        if (!text) {
            setText(peer.note, 'Type a message first.');
            return;
        }
        peer.input.value = '';
        const note = appendMessage(peer, text, true, 0, 'sending').querySelector('.msg-note');
        ++peer.sending;
        setText(peer.note, 'Sending\u2026');
        const answer = await bus('sendMsg', { req: { to: peer.identify, action: CHAT, content: text } });
        --peer.sending;
        const { record, words } = deviceAnswer(answer);
        const queued = record && record.msg === 'queued';
        if (!record) {
            setText(note, 'not sent');
            if (!peer.input.value)
                peer.input.value = text;
        } else if (queued) {
            setText(note, 'receiver offline: delivered when it comes online');
        } else {
            note.remove();
        }
        setText(peer.note, !record ? 'Not sent: ' + words + '.'
            : queued ? 'Receiver offline: the message waits for it.' : peer.sending ? 'Sending\u2026' : '');
    }

    function onMessage(payload) {
        const list = isObject(payload) ? (Array.isArray(payload.data) ? payload.data : [payload.data]) : [];
        list.filter(isObject).forEach(function (msg) {
            const from = identity(msg.from);
            if (!from || str(msg.action) !== CHAT || (msg.msg_id && state.seen.has(msg.msg_id)))
                return;
            if (msg.msg_id)
                state.seen.add(msg.msg_id);
            const peer = peerFor(from);
            if (!peer)
                return;
            appendMessage(peer, str(msg.content), false, num(msg.time), '');
            // Messages announced by the offline count are counted already.
            if (peer.offlineLeft > 0)
                --peer.offlineLeft;
            else if (peer.body.hidden)
                setUnread(peer, peer.unread + 1);
        });
    }

    function onOfflineCount(payload) {
        const item = isObject(payload) ? payload.data : null;
        const from = isObject(item) ? identity(item.from) : null;
        if (!from || str(item.action) !== CHAT)
            return;
        const peer = peerFor(from);
        const count = Math.max(0, Math.floor(num(item.unread_num)));
        if (!peer || count === peer.offlineLeft)
            return; // a repeated notice counts once
        peer.offlineLeft = count;
        setUnread(peer, peer.body.hidden ? count : 0);
    }

    function onDeviceChange(payload) {
        const notice = isObject(payload) ? payload.data : null;
        const list = Array.isArray(notice) ? notice : [notice];
        list.filter(isObject).forEach(function (n) {
            const id = identity(n.identify_info);
            if (!id)
                return;
            if (n.action === 'delete')
                removePeer(id.device_id);
            else
                peerFor(id, n.status === 1);
        });
    }

    // ---- file tasks ----------------------------------------------------------------

    function control(task, method, words) {
        setText(view.taskNote, words + '\u2026');
        bus(method, { ownerId: task.ownerId }).then(function (answer) {
            setText(view.taskNote, answer.success ? '' : words + ' failed: ' + callWords(answer.code) + '.');
        });
    }

    function buildTask(info) {
        const task = { id: info.task_id, ownerId: str(info.owner_id) || OWNER, state: -1, speed: 0, lastDone: 0,
                       lastTime: 0, info: info };
        task.name = el('span', { class: 'fname', dir: 'auto', text: str(info.file_name) || 'file' });
        task.peer = el('span', { class: 'dir' });
        task.bar = el('progress', { max: '100', value: '0', 'aria-label': (str(info.file_name) || 'file') + ' progress' });
        task.text = el('span', { class: 'task-text' });
        task.pause = el('button', { type: 'button', class: 'btn small', text: 'Pause', hidden: true,
                                    onclick: function () { control(task, 'pauseTaskByOwnerId', 'Pausing'); } });
        task.resume = el('button', { type: 'button', class: 'btn small', text: 'Resume', hidden: true,
                                     onclick: function () { control(task, 'resumeTaskByOwnerId', 'Resuming'); } });
        task.cancel = el('button', { type: 'button', class: 'btn small danger', text: 'Cancel', hidden: true,
                                     onclick: function () { control(task, 'cancelTaskByOwnerId', 'Cancelling'); } });
        task.root = el('li', { class: 'task', 'data-task': task.id }, [
            el('div', { class: 'task-head' }, [task.name, task.peer]),
            task.bar,
            el('div', { class: 'task-foot' }, [task.text, task.pause, task.resume, task.cancel]),
        ]);
        state.tasks.set(task.id, task);
        view.tasks.prepend(task.root);
        view.noTasks.hidden = true;
        return task;
    }

    function setButtons(task, running) {
        const hadFocus = task.root.contains(document.activeElement);
        task.pause.hidden = !(running === 0 || running === 1);
        task.resume.hidden = running !== 2;
        task.cancel.hidden = running > 2;
        if (hadFocus && (!document.activeElement || document.activeElement.hidden || !task.root.contains(document.activeElement))) {
            const next = [task.pause, task.resume, task.cancel].find(function (b) { return !b.hidden; });
            (next || view.tasks).focus();
        }
    }

    function taskLine(task, info) {
        const done = num(info.done_size);
        const total = num(info.total_size);
        const words = TASK_WORDS[task.state] || 'Unknown state';
        if (task.state === 4)
            return 'Failed: ' + (TASK_REASONS[str(info.error)] || 'the transfer stopped') + '.';
        if (task.state === 0 && str(info.error) && str(info.error) !== 'receiver_offline')
            return 'Waiting: ' + (TASK_REASONS[str(info.error)] || 'not started') + '.';
        if (task.state !== 1)
            return words + (task.state === 3 ? ', ' + humanSize(total) : ', ' + humanSize(done) + ' of ' + humanSize(total));
        let line = humanSize(done) + ' of ' + humanSize(total);
        if (task.speed > 0) {
            line += ' \u00b7 ' + humanSize(task.speed) + '/s';
            if (total > done)
                line += ' \u00b7 ' + humanDuration((total - done) / task.speed) + ' left';
        }
        return line;
    }

    function onTask(payload) {
        const info = isObject(payload) ? payload.data : null;
        if (!isObject(info) || typeof info.task_id !== 'string' || !info.task_id)
            return;
        const task = state.tasks.get(info.task_id) || buildTask(info);
        const now = performance.now();
        const done = num(info.done_size);
        const total = num(info.total_size);
        const st = Number.isInteger(info.state) ? info.state : -1;
        // Notices arrive in bursts (several per event-loop pass, more across machines), so the
        // rate is taken over at least half a second of arrivals, never between two of one burst.
        if (st !== 1 || task.state !== 1 || done < task.lastDone) {
            task.speed = 0;
            task.lastDone = done;
            task.lastTime = now;
        } else if (now - task.lastTime >= SPEED_WINDOW_MS) {
            const rate = (done - task.lastDone) * 1000 / (now - task.lastTime);
            task.speed = task.speed ? task.speed * 0.7 + rate * 0.3 : rate;
            task.lastDone = done;
            task.lastTime = now;
        }
        task.info = info;
        const peer = identity(info.peer);
        setText(task.peer, (info.is_sender === true ? 'to ' : 'from ') + (peer ? str(peer.device_name) || peer.device_id : 'another device'));
        const percent = total > 0 ? Math.min(100, Math.floor(done * 100 / total)) : (st === 3 ? 100 : 0);
        if (Number(task.bar.value) !== percent)
            task.bar.value = percent;
        if (st !== task.state) {
            task.state = st;
            task.root.dataset.state = String(st);
            setButtons(task, st);
            setText(view.taskNote, str(info.file_name) + ': ' + (TASK_WORDS[st] || 'changed') + '.');
        }
        setText(task.text, taskLine(task, info));
    }

    // The device service went away: its unfinished tasks end with it, and say so.
    function onServiceStatus(payload) {
        if (!isObject(payload) || payload.status !== 'unavailable')
            return;
        state.tasks.forEach(function (task) {
            if (task.state >= 0 && task.state <= 2)
                onTask({ data: Object.assign({}, task.info, { state: 4, error: 'service_lost' }) });
        });
    }

    // ---- discovery -----------------------------------------------------------------

    function onDiscovered(payload) {
        const result = isObject(payload) ? payload.data : null;
        const id = isObject(result) ? identity(result.identify_info) : null;
        if (!id || str(result.service_name) !== DISCOVERY || id.device_id === state.me)
            return;
        const known = state.nearby.get(id.device_id);
        if (result.state === 0 && !known) {
            const item = el('li', { 'data-device': id.device_id, dir: 'auto', text: str(id.device_name) || id.device_id });
            state.nearby.set(id.device_id, item);
            view.nearby.appendChild(item);
        } else if (result.state === 0 && known) {
            setText(known, str(id.device_name) || id.device_id);
        } else if (result.state === 1 && known) {
            known.remove();
            state.nearby.delete(id.device_id);
        }
        view.noNearby.hidden = state.nearby.size > 0;
    }

    // ---- start ---------------------------------------------------------------------

    function buildView() {
        const heading = el('h2', { id: 'h-talk', tabindex: '-1', text: 'Messages and files' });
        view = {
            heading: heading,
            me: el('span', { class: 'me', role: 'status', text: 'Checking this device\u2026' }),
            peers: el('ul', { class: 'peers', 'aria-labelledby': 'h-talk' }),
            noPeers: el('p', { class: 'empty', text: 'No other device of yours is known yet.' }),
            tasks: el('ul', { class: 'tasks', 'aria-labelledby': 'h-tasks', tabindex: '-1' }),
            noTasks: el('p', { class: 'empty', text: 'No transfers. Use \u201cSend to Device\u2026\u201d in a tab\u2019s menu.' }),
            taskNote: el('p', { class: 'note', role: 'status' }),
            nearby: el('ul', { class: 'nearby', 'aria-labelledby': 'h-nearby' }),
            noNearby: el('p', { class: 'empty', text: 'No device found nearby. Devices show here while they let others find them.' }),
        };
        const section = el('section', { class: 'talk', id: 'talk', 'aria-labelledby': 'h-talk' }, [
            el('div', { class: 'section-head' }, [heading, view.me]),
            view.peers, view.noPeers,
            el('h3', { id: 'h-tasks', text: 'Transfers' }), view.tasks, view.noTasks, view.taskNote,
            el('h3', { id: 'h-nearby', text: 'Found nearby' }), view.nearby, view.noNearby,
        ]);
        const devices = document.getElementById('devices');
        const anchor = devices && devices.closest('section');
        if (anchor)
            anchor.after(section);
        else
            document.getElementById('main').appendChild(section);
    }

    async function load() {
        const current = deviceAnswer(await bus('getCurrentDeviceInfo'));
        const me = current.record && isObject(current.record.data) ? identity(current.record.data.identify_info) : null;
        state.me = me ? me.device_id : '';
        const online = await bus('isDeviceOnline');
        setOnline(online.success ? online.data === true : false);
        const listed = deviceAnswer(await bus('getDeviceInfoList', { deviceStatus: 0 }));
        if (!listed.record) {
            view.noPeers.textContent = 'The devices could not be listed: ' + listed.words + '.';
            return;
        }
        const devices = isObject(listed.record.data) && Array.isArray(listed.record.data.devices)
            ? listed.record.data.devices : [];
        devices.filter(isObject).forEach(function (d) {
            const id = identity(d.identify_info);
            if (id)
                peerFor(id, d.status === 1);
        });
    }

    async function start() {
        buildView();
        kzbridge.on('event.softbus.currentDeviceOnlineChange', function (p) { if (isObject(p)) setOnline(p.data); });
        kzbridge.on('event.softbus.deviceInfoChange', onDeviceChange);
        kzbridge.on('event.softbus.offlineMsgNotice', onOfflineCount);
        kzbridge.on('event.softbus.msg', onMessage);
        kzbridge.on('event.softbus.fileTaskInfo', onTask);
        kzbridge.on('event.softbus.discoverService', onDiscovered);
        kzbridge.on('crossterminal.event.serviceStatus', onServiceStatus);
        await kzbridge.ready;
        await load();
        // The offline count is asked for before the messages, so it is heard first.
        await bus('listenCurrentDeviceOnlineChange');
        await bus('listenDeviceInfoChange');
        await bus('listenOfflineMsgNotice', { action: CHAT });
        await bus('listenMsg', { action: CHAT });
        await bus('listenFileTaskInfo', { action: OWNER });
        await bus('listenDiscoverServiceSearch', { serviceName: DISCOVERY });
        view.heading.closest('section').dataset.ready = 'true';
    }

    start();
}());
