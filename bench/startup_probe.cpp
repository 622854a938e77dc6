// Times a program's start as its user sees it, by X events, never by polling: from the fork
// to the first damage of a new window whose pixel (1, 1) has grey level 15 (the splash's second
// frame line, which only the program draws). With --click it then clicks that window and times
// the first damage of the next new window that is painted (not black at (4, 4)). With --rss it
// reports the program's resident memory once that last window is painted and idle. With
// --click-after MS the click comes that long after the splash is painted, as a person's would.
// Usage: sbk3_startup_probe [--click | --click-after MS] [--rss] -- PROGRAM [ARGS...]
// Prints: splash_ms=... [main_ms=...] [rss_kb=...] [ended_by_signal=N | ended_with_status=N]
// Exit status: 0 when every figure was taken, 1 when one was not within 20 s, 3 when the program
// ended before the probe ended it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

unsigned long pixelAt(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Asks the program to end, and ends it for good when it has not within two seconds.
void endChild(pid_t child) {
    kill(child, SIGTERM);
    for (int waited = 0; waited < 200; ++waited) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(10 * 1000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    bool click = false;
    bool rss = false;
    int clickDelayMs = 0;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        click = click || std::strcmp(argv[first], "--click") == 0;
        rss = rss || std::strcmp(argv[first], "--rss") == 0;
        if (std::strcmp(argv[first], "--click-after") == 0 && first + 1 < argc) {
            click = true;
            clickDelayMs = std::atoi(argv[++first]);
        }
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: %s [--click] [--rss] -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "no X display with the DAMAGE extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        _exit(127);
    }

    std::set<Window> seen;
    Window splash = 0;
    double splashMs = -1;
    double mainMs = -1;
    Clock::time_point clicked;
    int status = 0;
    bool endedEarly = false;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && (splashMs < 0 || (click && mainMs < 0))) {
        if (!XPending(display)) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 100);
            endedEarly = waitpid(child, &status, WNOHANG) == child;
            if (endedEarly)
                break;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == root) {
            const Window window = event.xmap.window;
            if (seen.insert(window).second)
                XDamageCreate(display, window, XDamageReportNonEmpty);
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
            XDamageSubtract(display, damage->damage, None, None);
            const Window window = damage->drawable;
            if (splashMs < 0 && pixelAt(display, window, 1, 1) == 0x0F0F0F) {
                splashMs = msSince(start);
                splash = window;
                if (click) {
                    if (clickDelayMs > 0)
                        usleep(static_cast<useconds_t>(clickDelayMs) * 1000);
                    XWindowAttributes attributes;
                    XGetWindowAttributes(display, window, &attributes);
                    int x = 0;
                    int y = 0;
                    Window ignored;
                    XTranslateCoordinates(display, window, root, attributes.width / 2,
                                          attributes.height / 2, &x, &y, &ignored);
                    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
                    XTestFakeButtonEvent(display, 1, True, CurrentTime);
                    XTestFakeButtonEvent(display, 1, False, CurrentTime);
                    XFlush(display);
                    clicked = Clock::now();
                }
            } else if (click && splashMs >= 0 && mainMs < 0 && window != splash &&
                       pixelAt(display, window, 4, 4) != 0) {
                mainMs = msSince(clicked);
            }
        }
    }
    std::printf("splash_ms=%.2f", splashMs);
    if (click)
        std::printf(" main_ms=%.2f", mainMs);
    if (rss) {
        usleep(300 * 1000);
        std::printf(" rss_kb=%ld", residentKb(child));
    }
    // A program that ended before it was told to has crashed (or given up): say how.
    if (!endedEarly)
        endedEarly = waitpid(child, &status, WNOHANG) == child;
    if (endedEarly) {
        if (WIFSIGNALED(status))
            std::printf(" ended_by_signal=%d", WTERMSIG(status));
        else
            std::printf(" ended_with_status=%d", WEXITSTATUS(status));
    }
    std::printf("\n");
    std::fflush(stdout);
    if (!endedEarly)
        endChild(child);
    XCloseDisplay(display);
    if (endedEarly)
        return 3;
    return splashMs >= 0 && (!click || mainMs >= 0) ? 0 : 1;
}
