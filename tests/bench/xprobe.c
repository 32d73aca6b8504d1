/* xprobe: the benchmark's eyes and hands on the X display, outside the measured programs. It times
 * what a user sees: a program's first frame on screen, a new size on screen after a key, a process
 * ending after a menu click; and it samples a process's threads in /proc. Times are CLOCK_MONOTONIC
 * milliseconds from the action (fork, key or click sent) to the moment it was seen (screen pixels
 * read back with XGetImage every 2 ms, or waitpid). The launch and the click are also given on the
 * wall clock (microseconds since 1970), the clock the programs' step marks use (framework/Timeline.h).
 *
 * Commands, one a line on stdin; one answer line each on stdout:
 *   launch <dir> <program> [args...]  starts the program in dir and waits for widget rows on screen
 *                                     around the screen's centre -> "frame <ms> <pid> <x y w h> <us>"
 *                                     (the rectangle of the X window showing them; us: the fork)
 *   keywait <keysym> <x> <y> <w> <h>  sends the key, waits for widget rows in the rectangle
 *                                     -> "key <ms> <x y w h>"
 *   menuquit <x> <y> <up>             right click at x y, waits for the menu, presses Up <up> times
 *                                     (from none, the first Up takes the last entry; separators are
 *                                     passed over) and Return, waits for the started program to end
 *                                     -> "quit <ms> <us>" (us: the Return)
 *   sample <seconds> <pid>...         every 50 ms reads the threads of each pid: prints per pid
 *                                     "idle <pid> <wake-up intervals> <voluntary switches> <cpu ms> <rss KiB>"
 * A failed wait answers "<word> fail".
 * Widget rows are recognised as a run of 12 pixels of a row background (0x262626 or 0x333333 at the
 * widget's alpha, on any backdrop it darkens to grey of those levels). */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <fcntl.h>
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static Display* dpy;
static Window root;
static pid_t child;
static int (*fakeKey)(Display*, unsigned, Bool, unsigned long);
static int (*fakeButton)(Display*, unsigned, Bool, unsigned long);
static int (*fakeMotion)(Display*, int, int, int, unsigned long);

static double nowMs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static long long wallUs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return ts.tv_sec * 1000000LL + ts.tv_nsec / 1000;
}

static void sleepMs(double ms) {
  struct timespec ts = {(time_t)(ms / 1000), (long)((ms - (time_t)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&ts, NULL);
}

static int isRowGrey(unsigned long p) {
  int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
  if (r != g || g != b) return 0;
  return (r >= 0x24 && r <= 0x27) || (r >= 0x31 && r <= 0x34);
}

/* True when the rectangle (clipped to the screen) shows a run of row background; *at is its start. */
static int rowsShown(int x, int y, int w, int h, XPoint* at) {
  int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
  if (x < 0) {
    w += x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    y = 0;
  }
  if (x + w > sw) w = sw - x;
  if (y + h > sh) h = sh - y;
  if (w <= 0 || h <= 0) return 0;
  XImage* image = XGetImage(dpy, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!image) return 0;
  int found = 0;
  for (int j = 0; j < h && !found; ++j) {
    int run = 0;
    for (int i = 0; i < w; ++i) {
      run = isRowGrey(XGetPixel(image, i, j)) ? run + 1 : 0;
      if (run >= 12) {
        found = 1;
        at->x = (short)(x + i);
        at->y = (short)(y + j);
        break;
      }
    }
  }
  XDestroyImage(image);
  return found;
}

static double waitRows(double start, int x, int y, int w, int h, double timeoutMs, XPoint* at) {
  while (nowMs() - start < timeoutMs) {
    if (rowsShown(x, y, w, h, at)) return nowMs() - start;
    sleepMs(2);
  }
  return -1;
}

static void drainEvents(void) {
  XEvent event;
  while (XPending(dpy)) XNextEvent(dpy, &event);
}

/* The first window mapped from now on: its rectangle on screen. */
static int waitMapped(double timeoutMs, int* x, int* y, int* w, int* h) {
  double start = nowMs();
  while (nowMs() - start < timeoutMs) {
    while (XPending(dpy)) {
      XEvent event;
      XNextEvent(dpy, &event);
      if (event.type != MapNotify) continue;
      XWindowAttributes attributes;
      Window unused;
      if (!XGetWindowAttributes(dpy, event.xmap.window, &attributes)) continue;
      XTranslateCoordinates(dpy, event.xmap.window, root, 0, 0, x, y, &unused);
      *w = attributes.width;
      *h = attributes.height;
      return 1;
    }
    sleepMs(2);
  }
  return 0;
}

/* The rectangle of the topmost shown top-level window (or window manager frame) at point. */
static int windowAt(XPoint point, int* x, int* y, int* w, int* h) {
  Window rootReturn, parent, *children = NULL;
  unsigned count = 0;
  if (!XQueryTree(dpy, root, &rootReturn, &parent, &children, &count)) return 0;
  int found = 0;
  for (unsigned i = count; i-- > 0 && !found;) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
    if (point.x >= a.x && point.x < a.x + a.width && point.y >= a.y && point.y < a.y + a.height) {
      *x = a.x, *y = a.y, *w = a.width, *h = a.height;
      found = 1;
    }
  }
  if (children) XFree(children);
  return found;
}

static void click(int x, int y, unsigned button) {
  fakeMotion(dpy, -1, x, y, 0);
  fakeButton(dpy, button, True, 0);
  fakeButton(dpy, button, False, 0);
  XFlush(dpy);
}

static void launch(char* args) {
  char* argv[64];
  int argc = 0;
  for (char* word = strtok(args, " "); word && argc < 63; word = strtok(NULL, " ")) argv[argc++] = word;
  argv[argc] = NULL;
  if (argc < 2) {
    puts("frame fail");
    return;
  }
  int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
  double start = nowMs();
  long long wall = wallUs();
  child = fork();
  if (child == 0) {
    if (chdir(argv[0]) != 0) _exit(127);
    int null = open("/dev/null", 1);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  XPoint at;
  int x = 0, y = 0, w = 0, h = 0;
  double ms = waitRows(start, sw / 2 - 100, sh / 2 - 60, 200, 120, 60000, &at);
  if (ms >= 0) windowAt(at, &x, &y, &w, &h);
  if (ms < 0)
    printf("frame fail\n");
  else
    printf("frame %.1f %d %d %d %d %d %lld\n", ms, (int)child, x, y, w, h, wall);
}

static void keyWait(const char* keysym, int x, int y, int w, int h) {
  KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(keysym));
  double start = nowMs();
  fakeKey(dpy, code, True, 0);
  fakeKey(dpy, code, False, 0);
  XFlush(dpy);
  XPoint at;
  int wx = 0, wy = 0, ww = 0, wh = 0;
  double ms = waitRows(start, x, y, w, h, 10000, &at);
  if (ms >= 0) windowAt(at, &wx, &wy, &ww, &wh);
  if (ms < 0)
    printf("key fail\n");
  else
    printf("key %.1f %d %d %d %d\n", ms, wx, wy, ww, wh);
}

static void pressKey(KeyCode code) {
  fakeKey(dpy, code, True, 0);
  fakeKey(dpy, code, False, 0);
  XFlush(dpy);
}

static void menuQuit(int x, int y, int up) {
  int mx, my, mw, mh;
  drainEvents();
  click(x, y, 3);
  if (!waitMapped(5000, &mx, &my, &mw, &mh)) {
    puts("quit fail");
    return;
  }
  sleepMs(300); /* the menu takes the keys once it is tracking */
  for (int i = 0; i < up; ++i) {
    pressKey(XKeysymToKeycode(dpy, XK_Up));
    sleepMs(50);
  }
  double start = nowMs();
  long long wall = wallUs();
  pressKey(XKeysymToKeycode(dpy, XK_Return));
  while (nowMs() - start < 15000) {
    int status;
    if (waitpid(child, &status, WNOHANG) == child) {
      printf("quit %.1f %lld\n", nowMs() - start, wall);
      child = 0;
      return;
    }
    sleepMs(1);
  }
  puts("quit fail");
}

/* Voluntary context switches and CPU time (ns) summed over the threads of pid. */
static int readThreads(int pid, long long* switches, long long* cpuNs) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/task", pid);
  DIR* tasks = opendir(path);
  if (!tasks) return 0;
  *switches = *cpuNs = 0;
  struct dirent* entry;
  while ((entry = readdir(tasks))) {
    if (entry->d_name[0] == '.') continue;
    char file[320], line[256];
    snprintf(file, sizeof file, "/proc/%d/task/%s/status", pid, entry->d_name);
    FILE* status = fopen(file, "r");
    if (status) {
      while (fgets(line, sizeof line, status))
        if (!strncmp(line, "voluntary_ctxt_switches:", 24)) *switches += atoll(line + 24);
      fclose(status);
    }
    snprintf(file, sizeof file, "/proc/%d/task/%s/schedstat", pid, entry->d_name);
    FILE* sched = fopen(file, "r");
    if (sched) {
      long long ns = 0;
      if (fscanf(sched, "%lld", &ns) == 1) *cpuNs += ns;
      fclose(sched);
    }
  }
  closedir(tasks);
  return 1;
}

static long rssKiB(int pid) {
  char path[64], line[256];
  long kib = 0;
  snprintf(path, sizeof path, "/proc/%d/status", pid);
  FILE* status = fopen(path, "r");
  if (!status) return 0;
  while (fgets(line, sizeof line, status))
    if (!strncmp(line, "VmRSS:", 6)) kib = atol(line + 6);
  fclose(status);
  return kib;
}

static void sample(char* args) {
  int seconds = atoi(strtok(args, " "));
  int pids[8], count = 0;
  for (char* word = strtok(NULL, " "); word && count < 8; word = strtok(NULL, " ")) pids[count++] = atoi(word);
  long long firstSwitches[8], firstCpu[8], lastSwitches[8], lastCpu[8];
  int wakeIntervals[8] = {0};
  for (int i = 0; i < count; ++i) readThreads(pids[i], &firstSwitches[i], &firstCpu[i]);
  memcpy(lastSwitches, firstSwitches, sizeof lastSwitches);
  double start = nowMs();
  while (nowMs() - start < seconds * 1000.0) {
    sleepMs(50);
    for (int i = 0; i < count; ++i) {
      long long switches, cpu;
      if (!readThreads(pids[i], &switches, &cpu)) continue;
      if (switches != lastSwitches[i]) ++wakeIntervals[i];
      lastSwitches[i] = switches;
      lastCpu[i] = cpu;
    }
  }
  for (int i = 0; i < count; ++i)
    printf("idle %d %d %lld %.1f %ld\n", pids[i], wakeIntervals[i], lastSwitches[i] - firstSwitches[i],
           (lastCpu[i] - firstCpu[i]) / 1e6, rssKiB(pids[i]));
}

int main(void) {
  dpy = XOpenDisplay(NULL);
  if (!dpy) {
    fprintf(stderr, "xprobe: no display\n");
    return 1;
  }
  root = DefaultRootWindow(dpy);
  XSelectInput(dpy, root, SubstructureNotifyMask);
  void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
  if (!xtst) {
    fprintf(stderr, "xprobe: libXtst.so.6 missing\n");
    return 1;
  }
  fakeKey = (int (*)(Display*, unsigned, Bool, unsigned long))dlsym(xtst, "XTestFakeKeyEvent");
  fakeButton = (int (*)(Display*, unsigned, Bool, unsigned long))dlsym(xtst, "XTestFakeButtonEvent");
  fakeMotion = (int (*)(Display*, int, int, int, unsigned long))dlsym(xtst, "XTestFakeMotionEvent");
  setvbuf(stdout, NULL, _IOLBF, 0);
  char line[4096];
  while (fgets(line, sizeof line, stdin)) {
    line[strcspn(line, "\n")] = 0;
    char* rest = strchr(line, ' ');
    if (rest)
      *rest++ = 0;
    else
      rest = line + strlen(line);
    int x, y, w, h;
    char keysym[64];
    if (!strcmp(line, "launch"))
      launch(rest);
    else if (!strcmp(line, "keywait") && sscanf(rest, "%63s %d %d %d %d", keysym, &x, &y, &w, &h) == 5)
      keyWait(keysym, x, y, w, h);
    else if (!strcmp(line, "menuquit") && sscanf(rest, "%d %d %d", &x, &y, &w) == 3)
      menuQuit(x, y, w);
    else if (!strcmp(line, "sample"))
      sample(rest);
    else
      printf("unknown %s\n", line);
  }
  if (child > 0) {
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
  }
  return 0;
}
