// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

/*
 * Runs the registered benchmarks and, after Google Benchmark's own table,
 * prints each measured benchmark as a ratio to its baseline run side by
 * side. Pairs are given as (measured name, baseline name); a run
 * "measured/10" is compared with "baseline/10"; repeated runs by their
 * medians.
 */
class KzRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // With --benchmark_repetitions, the median of the repetitions stands for the run.
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
                m_medians.insert(run.run_name.str());
            } else if (run.run_type == Run::RT_Iteration && !m_medians.count(run.benchmark_name())) {
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios(const std::vector<std::pair<std::string, std::string>> &pairs) const
    {
        std::printf("\n%-56s %14s %14s %8s\n", "measured / baseline", "measured", "baseline", "ratio");
        for (const auto &[measured, baseline] : pairs) {
            for (const auto &[name, time] : m_times) {
                if (name.rfind(measured, 0) != 0)
                    continue;
                const std::string arg = name.substr(measured.size());
                if (!arg.empty() && arg.front() != '/')
                    continue;
                const auto base = m_times.find(baseline + arg);
                if (base == m_times.end() || base->second <= 0)
                    continue;
                const std::string label = measured + arg + " vs " + baseline;
                // Whole units, or three decimals below 100 (sub-millisecond runs in a millisecond unit).
                const int digits = base->second < 100 ? 3 : 0;
                std::printf("%-56s %14.*f %14.*f %7.2fx\n", label.c_str(), digits, time, digits, base->second,
                            time / base->second);
            }
        }
    }

private:
    std::map<std::string, double> m_times;
    std::set<std::string> m_medians;
};

// The main of a ratio benchmark: runs everything, then prints the pairs.
inline int kzRunRatioBenchmarks(int argc, char **argv,
                                const std::vector<std::pair<std::string, std::string>> &pairs)
{
    benchmark::Initialize(&argc, argv);
    KzRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(pairs);
    benchmark::Shutdown();
    return 0;
}

// Never the user's session: runtime, configuration and state of everything
// this process starts live under `profile`.
inline void kzBenchPrivateSession(const QTemporaryDir &profile)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(profile.path() + QStringLiteral("/rt")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path() + QStringLiteral("/cfg")));
    qputenv("KZELVA_PROFILE_DIR", QFile::encodeName(profile.path()));
    qputenv("QT_LOGGING_RULES", "zelva.*.info=false");
}

/*
 * The main of a ratio benchmark that runs inside an application of type App
 * (QCoreApplication or the shell's): the offscreen platform, no web engine,
 * a private profile in a temporary folder, then the benchmarks.
 * `beforeExit` runs while the application still exists (to drop scenes
 * whose widgets need it).
 */
template<typename App>
int kzBenchMain(int argc, char **argv, const std::vector<std::pair<std::string, std::string>> &pairs,
                const std::function<void()> &beforeExit = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KZELVA_WEB_ENGINE", "0");
    QTemporaryDir profile;
    qputenv("KZELVA_PROFILE_DIR", QFile::encodeName(profile.path()));
    App app(argc, argv);
    const int result = kzRunRatioBenchmarks(argc, argv, pairs);
    if (beforeExit)
        beforeExit();
    return result;
}
