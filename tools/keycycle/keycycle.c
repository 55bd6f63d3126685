/* keycycle - how long a key press in a window takes to change the picture on
 * the X screen: the whole interactive cycle of a program, measured from outside.
 *
 *   keycycle WINDOW COUNT KEY1 KEY2 [SETTLE_MS]
 *
 * WINDOW is an X window id (as xdotool prints it). Each round sends a press
 * and a release of KEY1 and KEY2 in turn (X key names, e.g. Left and Right)
 * to the window, as `xdotool key --window` does, and takes the time from the
 * press until three rows of the window (a quarter, half and three quarters
 * down) first differ from what they showed before; then it waits SETTLE_MS
 * (default 300) for the program to finish. Prints every time and the median,
 * minimum and maximum in milliseconds. Exit status 1 when a press changed
 * nothing within 5 s.
 *
 * Built by scripts/keycycle.sh with the system compiler against Xlib; not part
 * of the product. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The three rows, one after another, as 32-bit pixels. */
static void grab(Display* d, Window w, int width, int height, unsigned long* out)
{
    for (int i = 0; i < 3; i++) {
        XImage* row = XGetImage(d, w, 0, height * (i + 1) / 4, (unsigned)width, 1, AllPlanes, ZPixmap);
        for (int x = 0; x < width; x++)
            out[i * width + x] = row ? XGetPixel(row, x, 0) : 0;
        if (row)
            XDestroyImage(row);
    }
}

static void sendkey(Display* d, Window w, KeyCode code, int press)
{
    XKeyEvent e;
    memset(&e, 0, sizeof e);
    e.type = press ? KeyPress : KeyRelease;
    e.display = d;
    e.window = w;
    e.root = DefaultRootWindow(d);
    e.subwindow = None;
    e.time = CurrentTime;
    e.same_screen = True;
    e.keycode = code;
    XSendEvent(d, w, True, press ? KeyPressMask : KeyReleaseMask, (XEvent*)&e);
    XFlush(d);
}

static int compare(const void* a, const void* b)
{
    const double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: keycycle WINDOW COUNT KEY1 KEY2 [SETTLE_MS]\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "keycycle: cannot open the display\n");
        return 2;
    }
    const Window w = (Window)strtoul(argv[1], NULL, 0);
    const int count = atoi(argv[2]);
    const KeyCode keys[2] = {XKeysymToKeycode(d, XStringToKeysym(argv[3])), XKeysymToKeycode(d, XStringToKeysym(argv[4]))};
    const int settle = argc > 5 ? atoi(argv[5]) : 300;
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || count < 1 || !keys[0] || !keys[1]) {
        fprintf(stderr, "keycycle: bad window, count or key\n");
        return 2;
    }
    unsigned long* before = malloc(sizeof(unsigned long) * 3 * (size_t)a.width);
    unsigned long* after = malloc(sizeof(unsigned long) * 3 * (size_t)a.width);
    double* times = malloc(sizeof(double) * (size_t)count);
    printf("window %dx%d, %d presses\n", a.width, a.height, count);
    for (int i = 0; i < count; i++) {
        grab(d, w, a.width, a.height, before);
        const double start = now_ms();
        sendkey(d, w, keys[i % 2], 1);
        sendkey(d, w, keys[i % 2], 0);
        double took = -1;
        while (now_ms() - start < 5000) {
            grab(d, w, a.width, a.height, after);
            if (memcmp(before, after, sizeof(unsigned long) * 3 * (size_t)a.width) != 0) {
                took = now_ms() - start;
                break;
            }
            usleep(100);
        }
        if (took < 0) {
            fprintf(stderr, "keycycle: press %d changed nothing within 5 s\n", i + 1);
            return 1;
        }
        times[i] = took;
        printf("%.1f\n", took);
        fflush(stdout);
        usleep((useconds_t)settle * 1000);
    }
    qsort(times, (size_t)count, sizeof(double), compare);
    printf("median %.1f ms, min %.1f ms, max %.1f ms\n",
           count % 2 ? times[count / 2] : (times[count / 2 - 1] + times[count / 2]) / 2, times[0], times[count - 1]);
    XCloseDisplay(d);
    return 0;
}
