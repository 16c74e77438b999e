#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

// Starts the program given and prints the seconds until its first window is mapped on the X
// server's screen (the moment it can be seen), then ends the program. The screen must hold no
// window manager, so that the program's own window is a child of the root. Exit code 1 when the
// program ends or the time-out passes before a window shows.
// Usage: bench_viewable_timer PROGRAM [ARGUMENTS...]
namespace {

constexpr int TIMEOUT_MS = 30000;
constexpr int POLL_MS = 50;

using Clock = std::chrono::steady_clock;

int Finish(pid_t child, int code)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return code;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));

    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::perror(argv[1]);
        return 2;
    }
    pollfd wait { xcb_get_file_descriptor(x), POLLIN, 0 };
    while (Clock::now() - start < std::chrono::milliseconds(TIMEOUT_MS)) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool shown = (event->response_type & 0x7F) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (shown) {
                std::printf("%.4f\n", std::chrono::duration<double>(Clock::now() - start).count());
                return Finish(child, 0);
            }
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "%s ended before showing a window\n", argv[1]);
            return 1;
        }
        poll(&wait, 1, POLL_MS);
    }
    std::fprintf(stderr, "%s showed no window within %d ms\n", argv[1], TIMEOUT_MS);
    return Finish(child, 1);
}
