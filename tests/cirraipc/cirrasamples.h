// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <functional>
#include <vector>

/*
 * One fully populated sample of every used record (non-default value in every
 * field, nested records filled too), shared by the codec tests, the fuzz
 * seeds and the benchmarks.
 */
struct CirraSample
{
    const char *typeName;
    KCirraRecord record;
    // Typed equality of two records of this sample's type.
    std::function<bool(const KCirraRecord &, const KCirraRecord &)> equal;
};

std::vector<CirraSample> cirraSamples();
qoz::cirra::CloudItem sampleCloudItem();
