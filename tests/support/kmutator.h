// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

// The seeded byte mutator of the project's fuzz loops: bit flips, random and
// interesting values, inserted, deleted, truncated, spliced and repeated
// pieces, so inputs go from well-formed seeds to every kind of broken one.

#include <QtGlobal>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

class Mutator
{
public:
    explicit Mutator(quint64 seed)
        : m_rng(seed)
    {
    }

    std::string mutate(const std::string &input, const std::vector<std::string> &pool)
    {
        std::string s = input;
        const int rounds = 1 + int(pick(4));
        for (int i = 0; i < rounds; ++i) {
            const size_t at = s.empty() ? 0 : pick(s.size());
            switch (pick(8)) {
            case 0: // flip a bit
                if (!s.empty())
                    s[at] = char(s[at] ^ (1 << pick(8)));
                break;
            case 1: // random byte
                if (!s.empty())
                    s[at] = char(pick(256));
                break;
            case 2: // insert bytes
                s.insert(at, std::string(1 + pick(8), char(pick(256))));
                break;
            case 3: // delete a range
                if (!s.empty())
                    s.erase(at, 1 + pick(std::min<size_t>(16, s.size() - at)));
                break;
            case 4: { // an interesting 32-bit value, as sizes and lengths are
                static const quint32 values[] = {0,           1,       0x7f,       0xff,        0x7fff,
                                                 0xffff,      0x10000, 0x7fffffff, 0x80000000u, 0xffffffffu,
                                                 0xfffffffeu, 65536,   65537};
                const quint32 v = values[pick(sizeof values / sizeof *values)];
                if (s.size() >= 4) {
                    const size_t p = pick(s.size() - 3);
                    for (int b = 0; b < 4; ++b)
                        s[p + size_t(b)] = char((v >> (24 - 8 * b)) & 0xff);
                }
                break;
            }
            case 5: // truncate
                s.resize(at);
                break;
            case 6: { // splice in a piece of another seed
                const std::string &other = pool[pick(pool.size())];
                if (!other.empty()) {
                    const size_t from = pick(other.size());
                    s.insert(at, other.substr(from, 1 + pick(other.size() - from)));
                }
                break;
            }
            case 7: // duplicate a range (nesting, repeated fields)
                if (!s.empty())
                    s.insert(at, s.substr(pick(s.size()), 1 + pick(32)));
                break;
            }
        }
        return s;
    }

    size_t pick(size_t bound) { return bound ? size_t(m_rng() % bound) : 0; }

private:
    std::mt19937_64 m_rng;
};
