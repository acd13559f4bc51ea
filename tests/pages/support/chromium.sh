#!/bin/sh
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# The system Chromium without the right to raise its own priority: run as root
# it puts its browser and GPU processes at nice -8, past the nice value the
# page test was started with.
exec setpriv --bounding-set=-sys_nice "${KZ_CHROMIUM:-/usr/bin/chromium}" "$@"
