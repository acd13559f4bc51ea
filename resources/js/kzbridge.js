// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The page side of the page-API bridge. Pages include this one script and use
//   kzbridge.call(handler, method, args)    -> Promise of the answer object
//   kzbridge.request(handler, method, args) -> Promise of its "result", parsed
//   kzbridge.on(event, callback)            callback(data, eventName)
// whichever way the page is connected: QWebChannel inside the shell's web
// views, or a WebSocket to the shell's bridge server in an outside browser
// (parameters kztoken and kzpage in the URL fragment, optional kzws with the
// full WebSocket URL for pages not served by the bridge server).
// A refused call rejects with an Error whose .code is "unknownHandler",
// "unknownMethod", "badRequest", "tooLarge", "noAnswer" or "closed".
(function (global) {
    'use strict';

    const pending = new Map();
    const listeners = new Map();
    const outbox = [];
    let nextId = 1;
    let sendText = null;
    let transport = 'none';
    let closed = false;
    let readyResolve;
    const ready = new Promise(function (resolve) { readyResolve = resolve; });

    function bridgeError(code, message) {
        const error = new Error(message || code);
        error.code = code;
        return error;
    }

    function post(message) {
        const text = JSON.stringify(message);
        if (sendText)
            sendText(text);
        else
            outbox.push(text);
    }

    function opened(send, name) {
        sendText = send;
        transport = name;
        while (outbox.length)
            sendText(outbox.shift());
        readyResolve(name);
    }

    function parsePayload(text) {
        if (typeof text !== 'string')
            return text;
        try {
            return JSON.parse(text);
        } catch (e) {
            return text;
        }
    }

    function raise(message) {
        const callbacks = listeners.get(message.e);
        if (!callbacks)
            return;
        // "v" is the payload itself; "d" is text, parsed when it is JSON.
        const data = 'v' in message ? message.v : parsePayload(message.d);
        // Listeners added while these run hear the next event.
        const count = callbacks.length;
        const current = count === 1 ? callbacks : callbacks.slice();
        for (let i = 0; i < count; ++i) {
            try {
                current[i](data, message.e);
            } catch (e) {
                console.error('kzbridge: listener of ' + message.e + ' failed', e);
            }
        }
    }

    function handle(message) {
        if (message === null || typeof message !== 'object')
            return;
        if (message.t === 'reply') {
            const entry = pending.get(message.id);
            if (!entry)
                return;
            pending.delete(message.id);
            if (message.ok)
                entry.resolve(message.v);
            else
                entry.reject(bridgeError(message.code, message.error));
        } else if (message.t === 'event') {
            raise(message);
        } else if (message.t === 'batch' && Array.isArray(message.m)) {
            // Events raised together on the host, in their order.
            message.m.forEach(handle);
        } else if (message.t === 'script') {
            try {
                (0, eval)(message.c);
            } catch (e) {
                console.error('kzbridge: host script failed', e);
            }
        }
    }

    function receive(text) {
        let message;
        try {
            message = JSON.parse(text);
        } catch (e) {
            console.error('kzbridge: unreadable message', e);
            return;
        }
        handle(message);
    }

    function lost() {
        closed = true;
        sendText = function () {};
        pending.forEach(function (entry) { entry.reject(bridgeError('closed', 'the bridge connection closed')); });
        pending.clear();
    }

    function call(handler, method, args) {
        if (closed)
            return Promise.reject(bridgeError('closed', 'the bridge connection closed'));
        const id = nextId++;
        return new Promise(function (resolve, reject) {
            pending.set(id, { resolve: resolve, reject: reject });
            post({ t: 'call', id: id, h: handler, m: method, a: args === undefined ? {} : args });
        });
    }

    function request(handler, method, args) {
        return call(handler, method, args).then(function (answer) {
            return answer && typeof answer.result === 'string' ? parsePayload(answer.result) : undefined;
        });
    }

    function on(event, callback) {
        if (!listeners.has(event)) {
            listeners.set(event, []);
            post({ t: 'on', e: event });
        }
        listeners.get(event).push(callback);
    }

    function bridgeParameters() {
        const found = new URLSearchParams(global.location.hash.replace(/^#/, ''));
        const stored = global.sessionStorage;
        const keys = ['kztoken', 'kzpage', 'kzws'];
        const values = {};
        keys.forEach(function (key) {
            values[key] = found.get(key) || (stored && stored.getItem(key)) || '';
            if (found.has(key) && stored)
                stored.setItem(key, values[key]);
            found.delete(key);
        });
        // The token stays out of the address bar and the history.
        if (global.history && global.history.replaceState && global.location.hash) {
            const rest = found.toString();
            global.history.replaceState(null, '', global.location.pathname + global.location.search
                                        + (rest ? '#' + rest : ''));
        }
        return values;
    }

    function connectWebChannel() {
        /* global QWebChannel */
        new QWebChannel(global.qt.webChannelTransport, function (channel) {
            const endpoint = channel.objects.kzbridge;
            endpoint.message.connect(receive);
            opened(function (text) { endpoint.send(text); }, 'webchannel');
        });
    }

    function connectWebSocket() {
        const params = bridgeParameters();
        let base = params.kzws;
        if (!base && /^https?:$/.test(global.location.protocol))
            base = (global.location.protocol === 'https:' ? 'wss://' : 'ws://') + global.location.host + '/kzbridge';
        if (!base || !params.kztoken) {
            console.error('kzbridge: no bridge parameters (kztoken, kzpage) in the URL');
            lost();
            return;
        }
        const url = base + '?token=' + encodeURIComponent(params.kztoken)
            + '&page=' + encodeURIComponent(params.kzpage);
        const socket = new global.WebSocket(url);
        socket.onopen = function () { opened(function (text) { socket.send(text); }, 'websocket'); };
        socket.onmessage = function (event) { receive(event.data); };
        socket.onclose = lost;
    }

    if (global.qt && global.qt.webChannelTransport && typeof QWebChannel === 'function')
        connectWebChannel();
    else
        connectWebSocket();

    global.kzbridge = {
        call: call,
        request: request,
        on: on,
        ready: ready,
        get transport() { return transport; },
    };
})(window);
