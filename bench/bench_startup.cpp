// Whole-process start-up of the wizard against a bare Qt window of its size, both offscreen:
// each run starts the program, waits for its first frame to be drawn and for it to end.
// `--baseline=PATH` adds another build of the wizard (an older one, say) to the same
// interleaved runs, so that a change is measured against its predecessor under one load.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The child's environment: offscreen, the close-after-first-paint hook, and a home of its own
// so that no stored settings or IDE session of the person running it are read.
std::vector<std::string> ChildEnvironment(const fs::path& home) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "QT_QPA_PLATFORM" && name != "HOME" && name != "XDG_CONFIG_HOME" &&
            name != "XDG_RUNTIME_DIR" && !name.starts_with("VMG_")) {
            env.push_back(entry);
        }
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("VMG_EXIT_WHEN_PAINTED=1");
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
    env.push_back("XDG_RUNTIME_DIR=" + (home / "run").string());
    return env;
}

struct RunTimes {
    double wall = -1;  // seconds, negative when the program did not exit cleanly
    double cpu = 0;    // the child's user and system seconds
    long maxRssKb = 0; // the child's peak resident memory
};

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// One run to the program's end.
RunTimes RunOnce(const char* program, const std::vector<std::string>& env) {
    std::vector<char*> envp;
    for (const std::string& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return {};
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return {};
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {};
    }
    return {took.count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss};
}

void StartUp(benchmark::State& state, const char* program, const std::vector<std::string>* env) {
    for (auto _ : state) {
        const RunTimes times = RunOnce(program, *env);
        if (times.wall < 0) {
            state.SkipWithError("the program did not start and close cleanly");
            break;
        }
        state.SetIterationTime(times.wall);
        // On a busy machine the wall time waits for the CPU; the child's own time does not.
        state.counters["child_cpu_ms"] = times.cpu * 1e3;
        state.counters["max_rss_kb"] = static_cast<double>(times.maxRssKb);
    }
}

// The console report, keeping each benchmark's median for the ratio printed at the end.
class MedianReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
                const auto cpu = run.counters.find("child_cpu_ms");
                if (cpu != run.counters.end()) {
                    cpuMedians[run.run_name.function_name] = cpu->second.value;
                }
                const auto rss = run.counters.find("max_rss_kb");
                if (rss != run.counters.end()) {
                    rssMedians[run.run_name.function_name] = rss->second.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
    std::map<std::string, double> cpuMedians;
    std::map<std::string, double> rssMedians;
};

double Least(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}
double Most(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

// The ratios of one wizard build to the bare window: wall and CPU time, and peak memory.
void PrintRatios(const MedianReporter& r, const std::string& wizard, const char* label) {
    const auto median = [](const std::map<std::string, double>& m, const std::string& name) {
        const auto it = m.find(name);
        return it == m.end() ? 0.0 : it->second;
    };
    const std::string bare = "BM_StartupBareWindow";
    const double wall = median(r.medians, wizard);
    const double bareWall = median(r.medians, bare);
    if (wall > 0 && bareWall > 0) {
        std::printf(
            "%s start-up ratio, wizard to bare window (medians): %.2f (%.1f ms to %.1f ms)\n",
            label, wall / bareWall, wall, bareWall);
    }
    const double cpu = median(r.cpuMedians, wizard);
    const double bareCpu = median(r.cpuMedians, bare);
    if (bareCpu > 0) {
        std::printf("%s the same in the programs' own CPU time: %.2f (%.1f ms to %.1f ms)\n", label,
                    cpu / bareCpu, cpu, bareCpu);
    }
    const double rss = median(r.rssMedians, wizard);
    const double bareRss = median(r.rssMedians, bare);
    if (bareRss > 0) {
        std::printf("%s peak memory (max RSS): %.0f KiB to %.0f KiB\n", label, rss, bareRss);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // Our own option, taken out before the benchmark library reads the rest.
    std::string baseline;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (i > 0 && arg.starts_with("--baseline=")) {
            baseline = std::string(arg.substr(std::string_view("--baseline=").size()));
        } else {
            args.push_back(argv[i]);
        }
    }

    const fs::path home =
        fs::temp_directory_path() / ("vmg_bench_startup_" + std::to_string(getpid()));
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all, fs::perm_options::replace);
    const std::vector<std::string> env = ChildEnvironment(home);

    std::vector<std::pair<const char*, const char*>> programs = {
        {"BM_StartupBareWindow", VMG_BARE_WINDOW_BINARY}, {"BM_StartupWizard", VMG_WIZARD_BINARY}};
    if (!baseline.empty()) {
        programs.emplace_back("BM_StartupBaselineWizard", baseline.c_str());
    }
    // One untimed run of each first: the libraries come into the page cache, and a program
    // that cannot start is reported at once instead of ten times.
    for (const auto& [name, program] : programs) {
        if (RunOnce(program, env).wall < 0) {
            std::fprintf(stderr, "%s did not start and close cleanly\n", program);
            fs::remove_all(home);
            return 1;
        }
    }
    for (const auto& [name, program] : programs) {
        // A start-up varies by a tenth or more from run to run even on an idle machine; thirty
        // runs give a median that holds still.
        benchmark::RegisterBenchmark(name, StartUp, program, &env)
            ->Iterations(1)
            ->Repetitions(30)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("min", Least)
            ->ComputeStatistics("max", Most);
    }

    // The programs' runs are interleaved, so that a busy spell of a shared machine falls on
    // all of them; a flag given on the command line still wins.
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {interleave, aggregates});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(home);

    PrintRatios(reporter, "BM_StartupWizard", "this build:");
    if (!baseline.empty()) {
        PrintRatios(reporter, "BM_StartupBaselineWizard", "baseline:  ");
    }
    return 0;
}
