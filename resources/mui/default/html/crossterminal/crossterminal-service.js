// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The device service's state in the panel page: a banner while the service
// cannot be reached or nobody is signed in. The lists stay as last shown
// while the service is away and are asked for again when it is back or the
// user signed out.
(function () {
    'use strict';

    const API = 'crossterminal.common';
    const TEXTS = {
        unavailable: 'The device service is not reachable. The lists show what was last known '
            + 'and refresh when it is back.',
        signedOut: 'You are signed out. Sign in to see your other devices and their documents.',
        ok: '',
    };
    let current = 'ok';

    // Shows `status`; anything but a known status changes nothing.
    function show(status) {
        if (typeof status !== 'string' || !Object.prototype.hasOwnProperty.call(TEXTS, status))
            return false;
        const before = current;
        current = status;
        const banner = document.getElementById('service');
        banner.textContent = TEXTS[status];
        banner.hidden = status === 'ok';
        document.getElementById('app').dataset.service = status;
        // Back, or signed out (the devices are gone): the lists are asked for again.
        if (status !== 'unavailable' && status !== before && window.KzPanel)
            window.KzPanel.reload();
        return true;
    }

    kzbridge.on('crossterminal.event.serviceStatus', function (payload) {
        if (payload !== null && typeof payload === 'object')
            show(payload.status);
    });
    kzbridge.ready
        .then(function () { return kzbridge.request(API, 'getServiceStatus', {}); })
        .then(function (answer) {
            if (answer !== null && typeof answer === 'object')
                show(answer.status);
        })
        .catch(function () { show('unavailable'); });

    window.KzPanelService = { status: function () { return current; } };
}());
