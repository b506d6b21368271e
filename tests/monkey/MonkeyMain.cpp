// The random user's program. Without --replay it is the driver: it runs the steps in a child
// process (so that a crash or a sanitizer report is seen, not suffered), and when the child
// fails it looks for the shortest tail of steps that fails the same way from a fresh start.
//
//   zobl_monkey --seed S --steps N [--verbose]       run steps 0..N-1 of seed S, shrink a failure
//   zobl_monkey --replay --seed S --from K --to E    steps K..E-1 in this process (what the driver runs)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include "monkey/RandomUser.h"

namespace {

struct Outcome {
    bool failed = false;
    std::string kind;  // what failed: a finding's kind, "sanitizer" or "crash"
    std::string report;
    int lastStep = -1;
};

Outcome RunChild(const QString& program, std::uint64_t seed, int from, int to, bool verbose) {
    QProcess child;
    QStringList arguments{
        "--replay", "--seed",           QString::number(seed), "--from", QString::number(from),
        "--to",     QString::number(to)};
    if (verbose) {
        arguments << "--verbose";
    }
    child.start(program, arguments);
    child.waitForFinished(-1);
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    Outcome outcome;
    const QRegularExpression stepLine("^STEP (\\d+)", QRegularExpression::MultilineOption);
    for (auto match = stepLine.globalMatch(out); match.hasNext();) {
        outcome.lastStep = match.next().captured(1).toInt();
    }
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0) {
        return outcome;
    }
    outcome.failed = true;
    const QRegularExpression findingLine("^FINDING ([a-z]+): (.*)$", QRegularExpression::MultilineOption);
    if (const auto match = findingLine.match(out); match.hasMatch()) {
        outcome.kind = match.captured(1).toStdString();
        outcome.report = match.captured(0).toStdString();
    } else {
        outcome.kind = err.contains("Sanitizer") || err.contains("runtime error") ? "sanitizer" : "crash";
        outcome.report = err.right(6000).toStdString();
    }
    if (verbose) {
        outcome.report = out.right(4000).toStdString() + "\n" + outcome.report;
    }
    return outcome;
}

int Drive(const QString& program, std::uint64_t seed, int steps, bool verbose) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = RunChild(program, seed, 0, steps, verbose);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int done = outcome.failed ? outcome.lastStep + 1 : steps;
    std::printf("seed %llu: %d actions in %.1f s, %.1f actions/s\n", static_cast<unsigned long long>(seed),
                done, seconds, done / seconds);
    if (!outcome.failed) {
        std::printf("seed %llu: nothing found\n", static_cast<unsigned long long>(seed));
        return 0;
    }
    const int last = std::max(outcome.lastStep, 0);
    std::printf("seed %llu FAILED at step %d (%s):\n%s\n", static_cast<unsigned long long>(seed), last,
                outcome.kind.c_str(), outcome.report.c_str());
    std::fflush(stdout);
    // The shortest tail ending at the failing step that fails the same way from a fresh start:
    // lengths double until one does, then halve the gap.
    const auto fails = [&](int length) {
        const Outcome tail = RunChild(program, seed, last + 1 - length, last + 1, false);
        return tail.failed && tail.kind == outcome.kind;
    };
    int good = 0;
    int bad = 1;
    while (bad < last + 1 && !fails(bad)) {
        good = bad;
        bad = std::min(2 * bad, last + 1);
    }
    while (bad - good > 1) {
        const int middle = (good + bad) / 2;
        (fails(middle) ? bad : good) = middle;
    }
    std::printf("replay (%d steps): %s --replay --seed %llu --from %d --to %d --verbose\n", bad,
                program.toLocal8Bit().constData(), static_cast<unsigned long long>(seed), last + 1 - bad,
                last + 1);
    return 1;
}

std::optional<long long> Value(const QStringList& arguments, const QString& name) {
    const int at = arguments.indexOf(name);
    bool ok = false;
    const long long value = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toLongLong(&ok) : 0;
    return ok ? std::optional(value) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const bool verbose = arguments.contains("--verbose");
    const auto seed = Value(arguments, "--seed");
    if (!arguments.contains("--replay")) {
        const auto steps = Value(arguments, "--steps");
        if (!seed || !steps || *steps < 1) {
            std::fprintf(stderr,
                         "usage: zobl_monkey --seed S --steps N [--verbose]\n"
                         "       zobl_monkey --replay --seed S --from K --to E [--verbose]\n");
            return 2;
        }
        QCoreApplication application(argc, argv);
        return Drive(QCoreApplication::applicationFilePath(), std::uint64_t(*seed), int(*steps), verbose);
    }
    const auto from = Value(arguments, "--from");
    const auto to = Value(arguments, "--to");
    if (!seed || !from || !to || *from < 0 || *to < *from) {
        std::fprintf(stderr, "zobl_monkey: --replay needs --seed, --from and --to\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const zobl::monkey::PrivateHome home;
    QApplication application(argc, argv);
    zobl::monkey::RandomUser user(home, std::uint64_t(*seed), verbose);
    try {
        user.Run(int(*from), int(*to));
    } catch (const zobl::monkey::Finding& finding) {
        std::printf("FINDING %s\n", finding.what());
        std::fflush(stdout);
        home.RemoveNow();
        std::_Exit(1);  // the state is broken; tearing the windows down would only add noise
    }
    return 0;
}
