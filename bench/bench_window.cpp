// SPDX-License-Identifier: MIT
// The game window as a user meets it: time from process start to the first painted main
// window of a solo game, resident memory after a whole solo game played by the computer, the
// CPU a window joined to a vrako-server uses while nothing happens, and what painting and
// resizing the scaled table cost on large windows.
//
// Every figure comes from a fresh child process (this program run again with a mode argument),
// so start-up samples are not warmed by an earlier window in the same process and one
// measurement's memory does not count towards another.
#include "board/boardview.h"
#include "chat/chatpanel.h"
#include "game/clientgame.h"
#include "server/tserver.h"
#include "shell/tchat.h"
#include "widgets/cardart.h"
#include "widgets/richtextview.h"
#include "windows/gamestartdialog.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vrako;

namespace {

constexpr int kStartupRuns = 7;
constexpr int kIdleSeconds = 10;
constexpr int kPlayTo = 30;
constexpr double kStartupTargetMs = 500;
constexpr double kMemoryTargetMb = 80;
constexpr double kIdleTargetPercent = 0.5;
constexpr int kPaintRuns = 40;
constexpr int kResizeRuns = 15;
constexpr double kPaintTargetMs = 8;
constexpr double kResizeTargetMs = 16;

double nowMs(clockid_t clock = CLOCK_MONOTONIC) {
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Fields of /proc/PID/stat after the command name (which is in parentheses and may hold
// spaces); field numbers as in proc(5).
std::vector<std::string> statFields(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string line;
    std::getline(in, line);
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::vector<std::string> fields(3); // 1 pid, 2 comm: not kept
    for (std::string f; rest >> f;)
        fields.push_back(f);
    return fields;
}

long cpuTicks(pid_t pid) {
    const auto f = statFields(std::to_string(pid));
    return f.size() > 15 ? std::stol(f[14]) + std::stol(f[15]) : 0;
}

// A value in kB (or a plain count) of /proc/PID/status, e.g. "VmRSS".
long statusValue(const std::string& pid, const std::string& key) {
    std::ifstream in("/proc/" + pid + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, key.size() + 1, key + ":") == 0)
            return std::stol(line.substr(key.size() + 1));
    return -1;
}

// A loopback port that nobody listens on, so the lobby connection is refused at once.
quint16 closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

std::string binDir() {
    if (const char* env = std::getenv("VRAKO_BIN_DIR"))
        return env;
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, std::size_t(n)) : std::string();
    return path.substr(0, path.rfind('/') + 1) + "../bin";
}

// Runs argv as a child with its stdout on a pipe; returns the pid and the read end.
pid_t spawn(const std::vector<std::string>& args, int* readFd) {
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        std::perror(("exec " + args[0]).c_str());
        std::_Exit(127);
    }
    ::close(out[1]);
    *readFd = out[0];
    return pid;
}

// Runs this program in one mode and returns the "key value" lines it printed.
std::map<std::string, double> runChild(const char* mode) {
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return {};
    int fd = -1;
    const double spawnedAt = nowMs();
    const pid_t pid = spawn({self, mode}, &fd);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
        text.append(buf, std::size_t(n));
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::map<std::string, double> values;
    std::istringstream lines(text);
    for (std::string key; lines >> key;) {
        double v = 0;
        if (lines >> v)
            values[key] = v;
    }
    values["spawned_at"] = spawnedAt;
    values["exit_status"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return values;
}

// QApplication keeps argc and argv: they must outlive it. The window reads its role from them.
struct AppArgs {
    explicit AppArgs(const char* argv0, std::vector<std::string> rest = {}) {
        strings.push_back(argv0);
        for (auto& s : rest)
            strings.push_back(std::move(s));
        for (auto& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        argc = int(strings.size());
    }
    std::vector<std::string> strings;
    std::vector<char*> argv;
    int argc = 0;
};

void nameApplication() {
    QApplication::setApplicationName(QStringLiteral("Vrako"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vrako"));
}

// Notes the first paint of the main window and of its board, then the end of that frame.
class FirstPaint : public QObject {
public:
    FirstPaint(QObject* window, QObject* board) : m_window(window), m_board(board) {}
    double windowAt = 0, boardAt = 0, frameDoneAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == m_window && windowAt == 0)
                windowAt = nowMs();
            if (watched == m_board && boardAt == 0) {
                boardAt = nowMs();
                // Runs once the whole paint pass, children included, has been flushed.
                QTimer::singleShot(0, [this] {
                    frameDoneAt = nowMs();
                    QCoreApplication::quit();
                });
            }
        }
        return false;
    }

private:
    QObject* m_window;
    QObject* m_board;
};

// ---- child: start-up of a solo game to the first painted window ----
int startupOnce(const char* argv0) {
    const double mainAt = nowMs();
    // The process start (fork) in clock ticks since boot, moved onto the monotonic clock.
    const auto self = statFields("self");
    const double startBoot = std::stod(self.at(22)) * 1e3 / double(::sysconf(_SC_CLK_TCK));
    const double processStartAt = startBoot - (nowMs(CLOCK_BOOTTIME) - nowMs());

    AppArgs args(argv0); // no arguments: a solo game, as the program started plainly
    QApplication app(args.argc, args.argv.data());
    nameApplication();
    const double appAt = nowMs();
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = closedPort();
    Tchat window(settings);
    FirstPaint paints(&window, &window.board());
    window.installEventFilter(&paints);
    window.board().installEventFilter(&paints);
    window.createSideWindows();
    const double builtAt = nowMs();
    window.show();
    const double shownAt = nowMs();
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();

    std::printf("main_at %.3f\nproc_start_at %.3f\napp_at %.3f\nbuilt_at %.3f\nshown_at %.3f\n",
                mainAt, processStartAt, appAt, builtAt, shownAt);
    std::printf("window_paint_at %.3f\nboard_paint_at %.3f\nframe_done_at %.3f\n", paints.windowAt,
                paints.boardAt, paints.frameDoneAt);
    std::printf("platform_xcb %d\n", QGuiApplication::platformName() == QLatin1String("xcb"));
    return paints.boardAt > 0 ? 0 : 2;
}

// ---- child: one whole solo game, every seat played by the computer ----
int soloGame(const char* argv0) {
    AppArgs args(argv0);
    QApplication app(args.argc, args.argv.data());
    nameApplication();
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = closedPort();
    Tchat window(settings);
    window.createSideWindows();
    window.show(); // reads the (empty) command line: hosts a solo game
    TServer* server = window.server();
    if (!server)
        return 3;
    server->setBotSpeed(0);
    server->setRoundPause(0);
    server->setComputerRetry(0);
    server->setSeed(20240601);

    ClientGame& game = window.game();
    bool watchSent = false, started = false, won = false;
    double startedAt = 0, wonAt = 0;
    long rssBeforeGame = 0;
    int rounds = 0;
    QString lastStatus;
    QObject::connect(&game, &ClientGame::changed, &app, [&] {
        if (!watchSent && game.loggedin() && game.myseat() == 1) {
            watchSent = true;
            game.JustWatch1Click();
        } else if (!started && game.justWatchChecked()) {
            started = true;
            rssBeforeGame = statusValue("self", "VmRSS");
            // The host's way: File > Start Game opens the dialog, its start button sends.
            window.action("StartGame1")->trigger();
            window.gameStart()->setPlayToScore(QString::number(kPlayTo));
            startedAt = nowMs();
            window.gameStart()->button_startClick();
        } else if (started && !won) {
            const QString status = game.statusText();
            if (status != lastStatus && status.endsWith(QLatin1String(" Won the Round!")))
                ++rounds;
            lastStatus = status;
            if (status.endsWith(QLatin1String(" Wins!"))) {
                won = true;
                wonAt = nowMs();
                // Let the winner's frame be painted before the memory is read.
                QTimer::singleShot(300, &app, &QCoreApplication::quit);
            }
        }
    });
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    app.exec();

    std::printf("won %d\nrounds %d\ngame_ms %.1f\n", won ? 1 : 0, rounds, wonAt - startedAt);
    std::printf("rss_before_kb %ld\nrss_kb %ld\nhwm_kb %ld\n", rssBeforeGame,
                statusValue("self", "VmRSS"), statusValue("self", "VmHWM"));
    return won ? 0 : 2;
}

// Runs the event loop for ms, with no timer of its own besides the deadline.
void runFor(int ms) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(ms);
    loop.exec();
}

// Runs the event loop until done() holds (checked every 10 ms) or ms have passed.
template <typename Done> bool waitFor(int ms, Done done) {
    QEventLoop loop;
    QTimer deadline, poll;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    deadline.start(ms);
    poll.start(10);
    if (!done())
        loop.exec();
    return done();
}

// ---- child: a window joined to vrako-server, idle ----
int idleWindow(const char* argv0) {
    const std::string server = binDir() + "/vrako-server";
    int fd = -1;
    const pid_t serverPid = spawn({server, "--port", "0"}, &fd);
    char line[128] = {};
    const ssize_t got = ::read(fd, line, sizeof line - 1);
    unsigned port = 0;
    if (got <= 0 || std::sscanf(line, "Listening on port %u", &port) != 1) {
        std::fprintf(stderr, "vrako-server did not start (%s)\n", server.c_str());
        return 3;
    }

    // The joining player's command line: name, host address, "true".
    AppArgs args(argv0, {"Bench", "127.0.0.1", "true"});
    QApplication app(args.argc, args.argv.data());
    nameApplication();
    ProgramSettings settings;
    settings.port = quint16(port);
    settings.lobbyPort = closedPort();
    Tchat window(settings);
    window.createSideWindows();
    window.show();

    const bool loggedIn = waitFor(10000, [&] { return window.game().loggedin(); });
    // Let the catch-up messages and the repaints they cause settle first.
    runFor(1000);

    const std::string spid = std::to_string(serverPid);
    const long hz = ::sysconf(_SC_CLK_TCK);
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const long serverBefore = cpuTicks(serverPid);
    const long serverSwitchesBefore = statusValue(spid, "voluntary_ctxt_switches");
    const double t0 = nowMs();
    runFor(kIdleSeconds * 1000);
    const double seconds = (nowMs() - t0) / 1e3;
    ::getrusage(RUSAGE_SELF, &after);
    const long serverAfter = cpuTicks(serverPid);
    const long serverSwitches = statusValue(spid, "voluntary_ctxt_switches") - serverSwitchesBefore;

    auto cpuMs = [](const rusage& r) {
        return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
               double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
    };
    std::printf("logged_in %d\nseconds %.3f\n", loggedIn ? 1 : 0, seconds);
    std::printf("cpu_percent %.4f\n", (cpuMs(after) - cpuMs(before)) / 10.0 / seconds);
    std::printf("wakeups_per_s %.1f\n", double(after.ru_nvcsw - before.ru_nvcsw) / seconds);
    std::printf("server_cpu_percent %.4f\n",
                100.0 * double(serverAfter - serverBefore) / double(hz) / seconds);
    std::printf("server_wakeups_per_s %.1f\n", double(serverSwitches) / seconds);

    ::kill(serverPid, SIGTERM);
    int status = 0;
    ::waitpid(serverPid, &status, 0);
    ::close(fd);
    return loggedIn ? 0 : 2;
}

// Counts the paint events a widget receives.
struct PaintCount : QObject {
    int n = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        n += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Paints the whole window again, as after it was uncovered, and hands the frame to the
// platform. Marking a widget for painting paints the widgets on it too, except opaque ones
// (their pixels are still good): the window and every opaque widget are marked.
void repaintEverything(QWidget& window) {
    window.update();
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->isVisible() &&
            (w->testAttribute(Qt::WA_OpaquePaintEvent) || w->autoFillBackground()))
            w->update();
    QApplication::processEvents();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// ---- child: painting and resizing the scaled table ----
// A window with no role is given a table in the middle of a game (a hand of seven, fans, a
// top card, chat lines), so nothing changes while it is timed.
int scaledTable(const char* argv0) {
    AppArgs args(argv0, {"Bench", "x"}); // two arguments: no role, nothing connects
    QApplication app(args.argc, args.argv.data());
    nameApplication();
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = closedPort();
    Tchat window(settings);
    window.createSideWindows();
    ClientGame& g = window.game();
    g.dispatch("CMD_sendlogininfo+1");
    const int codes[] = {9, 21, 2, 45, 7, 33, 0};
    for (int id = 1; id <= 7; ++id)
        g.dispatch("CMD_acard+1+" + std::to_string(id) + "+" + std::to_string(codes[id - 1]));
    for (int seat = 2; seat <= 4; ++seat)
        g.dispatch("CMD_cardcount+" + std::to_string(seat) + "+" + std::to_string(seat + 3));
    g.dispatch("CMD_playcard+2+35");
    g.dispatch("CMD_nextplayer+1+l");
    for (int i = 0; i < 30; ++i)
        window.chat().addlinetochat(
            QStringLiteral("%1+Player%1: line %2 of the chat, www.example.org :)#12")
                .arg(i % 4 + 1)
                .arg(i),
            0x800080);
    window.show();
    runFor(200);

    // A full repaint of the whole window, table and chat, at 3840 x 2160.
    window.resize(3840, 2160);
    runFor(200);
    const double scale4k = window.board().scale();
    // The board and the log are counted, to be sure that each frame paints them.
    PaintCount boardPaints, logPaints;
    window.board().installEventFilter(&boardPaints);
    window.chat().mainchat()->viewport()->installEventFilter(&logPaints);
    // Besides the time on the clock, the processor time of all the process's threads: on a
    // shared machine it tells the work done from the wait for a free core.
    constexpr clockid_t cpu = CLOCK_PROCESS_CPUTIME_ID;
    std::vector<double> paints, paintsCpu;
    for (int i = 0; i < kPaintRuns + 3; ++i) {
        const double t0 = nowMs();
        const double c0 = nowMs(cpu);
        repaintEverything(window);
        if (i >= 3) { // the first frames at the new size settle the backing store
            paints.push_back(nowMs() - t0);
            paintsCpu.push_back(nowMs(cpu) - c0);
        }
    }
    const int framesPainted = std::min(boardPaints.n, logPaints.n);

    // One step of a resize, from 1280 x 800 to 1920 x 1080, as at each step of a drag: the
    // table and the chat are laid out again and the window painted, with the pictures of the
    // last scale stretched. Once the size has settled the pictures are drawn for the new scale
    // (with the picture cache emptied first, so all of them are drawn anew) and painted again.
    const auto crisp = [&window] {
        const QLabel* top = window.board().findChild<QLabel*>(QStringLiteral("image_topcard"));
        return !top->hasScaledContents();
    };
    std::vector<double> steps, stepsCpu, settles;
    int stepsPainted = 0;
    for (int i = 0; i < kResizeRuns; ++i) {
        window.resize(1280, 800);
        waitFor(2000, crisp);
        art::clearCache();
        const int before = boardPaints.n;
        double t0 = nowMs();
        const double c0 = nowMs(cpu);
        window.resize(1920, 1080);
        QApplication::processEvents(); // lays out and paints the new size
        steps.push_back(nowMs() - t0);
        stepsCpu.push_back(nowMs(cpu) - c0);
        stepsPainted += boardPaints.n > before ? 1 : 0;
        // Busy polling, so that the pass of the event loop that runs the settling is timed
        // alone, without the wait before it.
        double settle = 0;
        for (const double deadline = nowMs() + 2000; !crisp() && nowMs() < deadline;) {
            t0 = nowMs();
            QApplication::processEvents();
            settle = nowMs() - t0;
        }
        t0 = nowMs();
        QApplication::processEvents(); // paints what the settling changed
        settles.push_back(settle + nowMs() - t0);
    }
    const double scaleHd = window.board().scale();
    std::printf("scale_4k %.3f\nscale_hd %.3f\n", scale4k, scaleHd);
    std::printf("frames_painted %d\nsteps_painted %d\n", framesPainted, stepsPainted);
    std::printf("paint_4k_median_ms %.3f\npaint_4k_max_ms %.3f\n", median(paints),
                *std::max_element(paints.begin(), paints.end()));
    std::printf("resize_step_median_ms %.3f\nresize_step_max_ms %.3f\n", median(steps),
                *std::max_element(steps.begin(), steps.end()));
    std::printf("paint_4k_cpu_median_ms %.3f\nresize_step_cpu_median_ms %.3f\n", median(paintsCpu),
                median(stepsCpu));
    std::printf("settle_median_ms %.3f\nsettle_max_ms %.3f\n", median(settles),
                *std::max_element(settles.begin(), settles.end()));
    return 0;
}

const char* verdict(bool ok) {
    return ok ? "PASS" : "FAIL";
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--startup-once")
        return startupOnce(argv[0]);
    if (mode == "--solo-game")
        return soloGame(argv[0]);
    if (mode == "--idle")
        return idleWindow(argv[0]);
    if (mode == "--scaled-table")
        return scaledTable(argv[0]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kStartupRuns;

    std::printf("platform: %s\n\n", qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("1. start-up of a solo game to the first painted main window (%d runs)\n", runs);
    std::printf("   run  spawn->main  main->app  app->built  built->shown  shown->paint  "
                "fork->paint(/proc)  spawn->paint  spawn->frame\n");
    std::vector<double> fromSpawn, fromProc, fromMain, frame;
    bool allPainted = true;
    for (int i = 1; i <= runs; ++i) {
        auto v = runChild("--startup-once");
        const double paint = v["window_paint_at"] > 0
                                 ? std::min(v["window_paint_at"], v["board_paint_at"])
                                 : v["board_paint_at"];
        if (v["exit_status"] != 0 || paint <= 0) {
            std::printf("   %3d  no paint event arrived (exit %g)\n", i, v["exit_status"]);
            allPainted = false;
            continue;
        }
        const double s = v["spawned_at"];
        std::printf("   %3d  %9.1f  %9.1f  %10.1f  %12.1f  %12.1f  %18.1f  %12.1f  %12.1f\n", i,
                    v["main_at"] - s, v["app_at"] - v["main_at"], v["built_at"] - v["app_at"],
                    v["shown_at"] - v["built_at"], paint - v["shown_at"],
                    paint - v["proc_start_at"], paint - s, v["frame_done_at"] - s);
        fromSpawn.push_back(paint - s);
        fromProc.push_back(paint - v["proc_start_at"]);
        fromMain.push_back(paint - v["main_at"]);
        frame.push_back(v["frame_done_at"] - s);
    }
    const double startupMedian = median(fromSpawn);
    if (!fromSpawn.empty()) {
        std::printf("   to first paint, from spawn:   min %.1f ms, median %.1f ms\n",
                    *std::min_element(fromSpawn.begin(), fromSpawn.end()), startupMedian);
        std::printf("   from /proc starttime (10 ms ticks): min %.1f ms, median %.1f ms\n",
                    *std::min_element(fromProc.begin(), fromProc.end()), median(fromProc));
        std::printf("   from main() entry:            min %.1f ms, median %.1f ms\n",
                    *std::min_element(fromMain.begin(), fromMain.end()), median(fromMain));
        std::printf("   to the end of the first frame, from spawn: median %.1f ms\n",
                    median(frame));
    }

    std::printf("\n2. memory after a solo game to %d, four computer seats\n", kPlayTo);
    auto g = runChild("--solo-game");
    const double rssMb = g["rss_kb"] / 1024.0, hwmMb = g["hwm_kb"] / 1024.0;
    std::printf("   game won: %s, %g rounds in %.1f s\n", g["won"] ? "yes" : "NO", g["rounds"],
                g["game_ms"] / 1e3);
    std::printf("   VmRSS before the game %.1f MB, after %.1f MB; VmHWM %.1f MB\n",
                g["rss_before_kb"] / 1024.0, rssMb, hwmMb);

    std::printf("\n3. idle window joined to vrako-server, %d s\n", kIdleSeconds);
    auto idle = runChild("--idle");
    std::printf("   logged in: %s\n", idle["logged_in"] ? "yes" : "NO");
    std::printf("   window CPU %.3f %% of a core, %.1f wakeups/s\n", idle["cpu_percent"],
                idle["wakeups_per_s"]);
    std::printf("   server CPU %.3f %% of a core, %.1f wakeups/s\n", idle["server_cpu_percent"],
                idle["server_wakeups_per_s"]);

    std::printf("\n4. the scaled table: a full repaint at 3840 x 2160 (%d runs), a resize step\n"
                "   from 1280 x 800 to 1920 x 1080 (%d runs)\n",
                kPaintRuns, kResizeRuns);
    auto table = runChild("--scaled-table");
    std::printf("   table scale %.2f at 3840 x 2160, %.2f at 1920 x 1080; board and log painted "
                "in %g frames, board in %g steps\n",
                table["scale_4k"], table["scale_hd"], table["frames_painted"],
                table["steps_painted"]);
    std::printf("   repaint at 3840 x 2160: median %.2f ms, max %.2f ms; processor time median "
                "%.2f ms\n",
                table["paint_4k_median_ms"], table["paint_4k_max_ms"],
                table["paint_4k_cpu_median_ms"]);
    std::printf("   resize step: median %.2f ms, max %.2f ms; processor time median %.2f ms\n",
                table["resize_step_median_ms"], table["resize_step_max_ms"],
                table["resize_step_cpu_median_ms"]);
    std::printf("   pictures drawn for the new scale once settled, and painted: median %.2f ms, "
                "max %.2f ms\n",
                table["settle_median_ms"], table["settle_max_ms"]);

    const bool startupOk = allPainted && !fromSpawn.empty() && startupMedian < kStartupTargetMs;
    const bool memoryOk = g["won"] && hwmMb < kMemoryTargetMb && rssMb < kMemoryTargetMb;
    const bool idleOk = idle["logged_in"] && idle["cpu_percent"] < kIdleTargetPercent;
    const bool paintOk = table["exit_status"] == 0 && table["paint_4k_median_ms"] < kPaintTargetMs;
    const bool resizeOk =
        table["exit_status"] == 0 && table["resize_step_median_ms"] < kResizeTargetMs;
    std::printf("\n%-44s %12s %10s  %s\n", "figure", "value", "target", "result");
    std::printf("%-44s %9.1f ms %7.0f ms  %s\n", "start-up to first paint (median, spawn)",
                startupMedian, kStartupTargetMs, verdict(startupOk));
    std::printf("%-44s %9.1f MB %7.0f MB  %s\n", "VmRSS after a solo game", rssMb, kMemoryTargetMb,
                verdict(memoryOk));
    std::printf("%-44s %9.1f MB %7.0f MB  %s\n", "VmHWM of a solo game", hwmMb, kMemoryTargetMb,
                verdict(memoryOk));
    std::printf("%-44s %9.3f %%  %7.1f %%   %s\n", "idle CPU of a joined window",
                idle["cpu_percent"], kIdleTargetPercent, verdict(idleOk));
    std::printf("%-44s %9.3f %%  %10s  %s\n", "idle CPU of vrako-server (same 10 s)",
                idle["server_cpu_percent"], "-", "info");
    std::printf("%-44s %9.2f ms %7.0f ms  %s\n", "repaint of the table at 3840 x 2160 (median)",
                table["paint_4k_median_ms"], kPaintTargetMs, verdict(paintOk));
    std::printf("%-44s %9.2f ms %7.0f ms  %s\n", "resize step 1280x800 -> 1920x1080 (median)",
                table["resize_step_median_ms"], kResizeTargetMs, verdict(resizeOk));
    return startupOk && memoryOk && idleOk && paintOk && resizeOk ? 0 : 1;
}
