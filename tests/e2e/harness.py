"""End-to-end harness: one X server, one Wine prefix, and the means to drive
Windows programs in it (start, wait, find windows, look at the screen, send
input).

Only the standard library and command-line tools are used: Xvfb, xdpyinfo,
wine/wineboot/wineserver, xdotool and ImageMagick's `import`; Xephyr for
several monitors.

    with Session("build/e2e-work") as s:
        proc = s.start("/path/to/program.exe")
        win = s.find_window("Title")
        picture = s.screenshot()
        assert s.end_by_escape(proc, win) == 0
"""

import contextlib
import ctypes
import ctypes.util
import fcntl
import os
import pwd
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024

# Registry values every test run needs: Wine destroys windows at once instead
# of waiting 2 s for a window manager, the Japanese UI font has a stand-in,
# a crashing program ends instead of waiting on a crash dialog, and a local web
# page opens in the browser, as on Windows, rather than in Wine's. Wine takes
# its monitors from XRandR, as always unless a two-monitor run, interrupted,
# left the prefix reading them from Xinerama.
PREFIX_REG = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"UseXRandR"=-

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CLASSES_ROOT\.html]
@="htmlfile"

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="\"C:\\windows\\system32\\winebrowser.exe\" \"%1\""
"""


# Programs of Wine's own that run in every prefix; anything else still running
# after a test was left behind by it.
WINE_SERVICES = {"services.exe", "explorer.exe", "winedevice.exe", "plugplay.exe",
                 "svchost.exe", "rpcss.exe"}


class HarnessError(Exception):
    """The harness could not do what was asked (a tool failed)."""


class HarnessTimeout(HarnessError, AssertionError):
    """A condition the test waited for did not come in time.

    It is an AssertionError too, so the runner reports it as a test failure.
    """


class Skip(Exception):
    """Raised by a test that cannot run here; the runner reports SKIP."""


@dataclass
class Window:
    id: int
    title: str
    x: int
    y: int
    width: int
    height: int

    @property
    def center(self):
        return self.x + self.width // 2, self.y + self.height // 2


class Picture:
    """An RGB picture held as 8-bit rows, top row first."""

    def __init__(self, width, height, data):
        if len(data) != width * height * 3:
            raise ValueError("picture data has the wrong size")
        self.width = width
        self.height = height
        self.data = data

    @classmethod
    def from_ppm(cls, blob):
        # P6 header: magic, width, height, maxval, each followed by white
        # space; comments start with '#'.
        fields = []
        pos = 0
        while len(fields) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos) + 1
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        pos += 1  # the single white-space byte before the samples
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise HarnessError(f"not an 8-bit P6 picture: {fields!r}")
        width, height = int(fields[1]), int(fields[2])
        return cls(width, height, blob[pos:pos + width * height * 3])

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) is outside {self.width}x{self.height}")
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def pixels(self, x0=0, y0=0, x1=None, y1=None, step=1):
        """Yields (x, y, (r, g, b)) for the box [x0, x1) x [y0, y1)."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        data, width = self.data, self.width
        for y in range(y0, y1, step):
            row = y * width
            for x in range(x0, x1, step):
                i = (row + x) * 3
                yield x, y, (data[i], data[i + 1], data[i + 2])

    def count(self, predicate, x0=0, y0=0, x1=None, y1=None, step=1):
        return sum(1 for _, _, rgb in self.pixels(x0, y0, x1, y1, step) if predicate(rgb))

    def crop_bytes(self, x0, y0, x1, y1):
        """The raw rows of a box, for exact comparisons between pictures."""
        return b"".join(self.data[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
                        for y in range(y0, y1))


def write_bmp(path, width, height, colour_at):
    """Writes an uncompressed 24-bit bottom-up BMP with a 54-byte header.

    colour_at(x, y) -> (r, g, b) with y = 0 the top row of the picture.
    """
    stride = (width * 3 + 3) & ~3
    pad = bytes(stride - width * 3)
    rows = []
    for y in range(height - 1, -1, -1):  # bottom row is stored first
        row = bytearray()
        for x in range(width):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + pixels)
    return Path(path)


def read_bmp_header(path):
    """The fields of a BMP's file and info headers that tests look at."""
    blob = Path(path).read_bytes()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", blob, 0)
    (info_size, width, height, planes, bits, compression,
     image_size) = struct.unpack_from("<IiiHHII", blob, 14)
    return {"magic": magic, "file_size": size, "offset": offset, "info_size": info_size,
            "width": width, "height": height, "planes": planes, "bits": bits,
            "compression": compression, "image_size": image_size, "actual_size": len(blob)}


def _locked(file):
    """Takes an exclusive lock on an open file if no one else holds it; whether it did."""
    try:
        fcntl.flock(file, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return True
    except BlockingIOError:
        return False


def _stop_x_server(server):
    if server is None:
        return
    server.terminate()
    try:
        server.wait(10)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()


def _posix_ere_escape(text):
    return re.sub(r"([.\[\]{}()\\*+?^$|])", r"\\\1", text)


class Session:
    """An Xvfb display and a fresh Wine prefix, torn down on exit."""

    def __init__(self, work="build/e2e-work", reuse_prefix=False, display=None, log=None,
                 screen=(SCREEN_WIDTH, SCREEN_HEIGHT)):
        self.work = Path(work).resolve()
        self.prefix = self.work / "prefix"
        self.home = self.work / "home"
        self.logs = self.work / "logs"
        self.reuse_prefix = reuse_prefix
        self.own_display = display is None
        self.display = display
        self.screen = screen  # the size of an Xvfb screen of our own
        self.log = log or (lambda message: None)
        self.xvfb = None
        self.env = None
        self.started = []
        self.timings = {}
        self._temp_dir = None
        self._baseline = {}
        self._counter = 0
        self._lock = None

    # ----------------------------------------------------------- set-up ---
    def __enter__(self):
        try:
            self.setup()
        except BaseException:
            self.teardown()
            raise
        return self

    def __exit__(self, *exc):
        self.teardown()
        return False

    def _lock_work(self, timeout=900):
        """One session at a time per work folder: a second run would delete
        the first one's prefix under it. Waits for the other run to end."""
        self._lock = open(self.work / ".session-lock", "a+")
        if not _locked(self._lock):
            self._lock.seek(0)
            self.log(f"{self.work} is in use by another run "
                     f"(pid {self._lock.read().strip() or '?'}); waiting for it to end")
            self.wait_until(lambda: _locked(self._lock), timeout, f"{self.work} free of the other run",
                            interval=1)
        self._lock.seek(0)
        self._lock.truncate()
        self._lock.write(str(os.getpid()))
        self._lock.flush()

    def setup(self):
        self.work.mkdir(parents=True, exist_ok=True)
        self._lock_work()
        self.home.mkdir(exist_ok=True)
        shutil.rmtree(self.logs, ignore_errors=True)  # logs of an earlier run
        self.logs.mkdir()
        t = time.monotonic()
        if self.own_display:
            self._start_xvfb()
        self._wait_for_display()
        self.timings["xvfb"] = time.monotonic() - t
        self.env = dict(os.environ)
        for name in [n for n in self.env if n.startswith("WINE")]:
            del self.env[name]
        self.env.update({
            "DISPLAY": self.display,
            "WINEARCH": "win64",
            "WINEPREFIX": str(self.prefix),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "HOME": str(self.home),
            "LC_ALL": "ja_JP.UTF-8",
        })
        t = time.monotonic()
        fresh = not (self.reuse_prefix and (self.prefix / "system.reg").exists())
        if self.prefix.exists():
            # A server left by an interrupted run would keep `wineserver -w`
            # below waiting.
            self._tool(["wineserver", "-k"], timeout=30, check=False)
        if fresh:
            if self.prefix.exists():
                shutil.rmtree(self.prefix)
            self._tool(["wineboot", "-i"], timeout=300)
        # The registry values go in while wineboot's server still runs;
        # `wineserver -w` then waits for it to write the registry out and end.
        reg = self.work / "prefix-setup.reg"
        reg.write_bytes(b"\xff\xfe" + PREFIX_REG.replace("\n", "\r\n").encode("utf-16-le"))
        self._tool(["wine", "regedit", "/S", self.win_path(reg)], timeout=120)
        self._tool(["wineserver", "-w"], timeout=120)
        self._check_registry()
        # A server that stays up keeps later program starts warm.
        self._tool(["wineserver", "-p"], timeout=60)
        self.timings["prefix"] = time.monotonic() - t
        self.log(f"prefix ready in {self.timings['prefix']:.1f} s ({'new' if fresh else 'reused'})")
        self._baseline = self._snapshot_dirs()

    def _start_xvfb(self):
        self.xvfb, self.display = self._start_x_server(
            ["Xvfb", "-screen", "0", f"{self.screen[0]}x{self.screen[1]}x24", "-r", "-noreset",
             "-nolisten", "tcp"], "xvfb", os.environ)

    def _start_x_server(self, argv, name, env):
        """Starts an X server; (its process, its display). -displayfd lets it pick a free
        display number and tell us which once it takes connections."""
        read_fd, write_fd = os.pipe()
        log = self.logs / f"{name}.log"
        server = subprocess.Popen(
            [argv[0], "-displayfd", str(write_fd), *argv[1:]], env=env,
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
            stderr=open(log, "wb"), start_new_session=True)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 30
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            server.kill()
            server.wait()
            raise HarnessError(f"{argv[0]} did not report a display number; see {log}")
        return server, ":" + number.strip().decode()

    def _wait_for_display(self, server=None, name="xvfb"):
        server = server or self.xvfb
        env = dict(os.environ, DISPLAY=self.display)

        def answers():
            if server is not None and server.poll() is not None:
                raise HarnessError(f"the X server ended early; see {self.logs / (name + '.log')}")
            return subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0

        self.wait_until(answers, 30, f"X display {self.display} answering")

    def _check_registry(self):
        """Reads the values back from user.reg, which Wine writes with
        non-ASCII characters as \\x escapes."""
        text = (self.prefix / "user.reg").read_text(encoding="utf-8", errors="replace")

        def escaped(name):
            return "".join(c if 32 <= ord(c) < 127 else f"\\x{ord(c):x}" for c in name)

        for key, values in (("X11 Driver", {"Managed": "N"}),
                            ("Fonts\\Replacements", {"ＭＳ Ｐゴシック": "IPAPGothic",
                                                     "MS PGothic": "IPAPGothic"}),
                            ("WineDbg", {"ShowCrashDialog": "dword:00000000"})):
            start = text.find("[Software\\\\Wine\\\\" + key.replace("\\", "\\\\") + "]")
            section = text[start:text.find("\n[", start + 1)] if start >= 0 else ""
            for name, value in values.items():
                line = f'"{escaped(name)}"=' + (value if value.startswith("dword:") else f'"{value}"')
                if line not in section.splitlines():
                    raise HarnessError(f"the prefix's registry lacks {key} {name}={value}")
            if key == "X11 Driver" and '"UseXRandR"=' in section:
                raise HarnessError("the prefix's registry keeps X11 Driver UseXRandR")

    def teardown(self):
        try:
            self.kill_started()
        finally:
            if self.env is not None and self.prefix.exists():
                self._tool(["wineserver", "-k"], timeout=30, check=False)
            _stop_x_server(self.xvfb)
            self.xvfb = None
            if self._lock is not None:
                self._lock.close()  # releases the lock
                self._lock = None

    @contextlib.contextmanager
    def monitors_side_by_side(self, sizes):
        """Gives Wine one monitor of each (width, height) in sizes, side by side from the left,
        tops aligned, for the body of a with-block; yields their rectangles (left, top, right,
        bottom). They are the screens of a Xephyr inside this display, joined by Xinerama;
        Wine reads them through Xinerama only when its X11 driver is told not to use XRandR,
        which every Wine process reads as it starts. So the prefix's programs end first, and
        once more afterwards, when the display and the registry are as they were."""
        rects, left = [], 0
        for width, height in sizes:
            rects.append((left, 0, left + width, height))
            left += width
        screens = [arg for width, height in sizes for arg in ("-screen", f"{width}x{height}x24")]
        t = time.monotonic()
        self.clean()
        key = r"HKCU\Software\Wine\X11 Driver"
        host, xephyr = self.display, None
        try:
            self._tool(["wine", "reg", "add", key, "/v", "UseXRandR", "/t", "REG_SZ", "/d", "N",
                        "/f"], timeout=60)
            self._tool(["wineserver", "-k"], timeout=30, check=False)
            xephyr, self.display = self._start_x_server(
                ["Xephyr", *screens, "+xinerama", "-r", "-noreset", "-nolisten", "tcp"], "xephyr",
                dict(os.environ, DISPLAY=host))
            self._wait_for_display(xephyr, "xephyr")
            self.env["DISPLAY"] = self.display
            self._tool(["wineserver", "-p"], timeout=60)
            self.log(f"  {len(sizes)} monitors in {time.monotonic() - t:.1f} s")
            yield rects
        finally:
            t = time.monotonic()
            try:
                self.clean()
                self._tool(["wine", "reg", "delete", key, "/v", "UseXRandR", "/f"], timeout=60,
                           check=False)  # _check_registry below tells whether it is gone
                self._tool(["wineserver", "-k"], timeout=30, check=False)
            finally:
                self.display = self.env["DISPLAY"] = host
                _stop_x_server(xephyr)
            self._check_registry()
            self._tool(["wineserver", "-p"], timeout=60)
            self.log(f"  one monitor again in {time.monotonic() - t:.1f} s")

    # ------------------------------------------------------------ paths ---
    @property
    def c_drive(self):
        return self.prefix / "drive_c"

    def win_path(self, path):
        """The Windows name of a Unix path (C: for drive_c, Z: for the rest)."""
        path = Path(path).absolute()
        try:
            rel = path.relative_to(self.c_drive)
            return "C:\\" + "\\".join(rel.parts)
        except ValueError:
            return "Z:" + str(path).replace("/", "\\")

    def unix_path(self, win):
        """The Unix path of a Windows path on drive C: or Z:."""
        drive, rest = win[:2].upper(), win[2:].replace("\\", "/").lstrip("/")
        if drive == "C:":
            return self.c_drive / rest
        if drive == "Z:":
            return Path("/") / rest
        raise HarnessError(f"no Unix path known for {win}")

    @property
    def temp_dir(self):
        """The prefix user's temporary folder (%TEMP%), as a Unix path."""
        if self._temp_dir is None:
            out = self.wine_output(["cmd", "/c", "echo", "%TEMP%"]).strip()
            self._temp_dir = self.unix_path(out)
            self._temp_dir.mkdir(parents=True, exist_ok=True)
        return self._temp_dir

    # -------------------------------------------------------- processes ---
    def _tool(self, argv, timeout, check=True):
        """Runs a command to its end. Its output goes through files, not
        pipes: Wine's background processes (and a daemonised wineserver)
        inherit them and would hold a pipe open. Returns a CompletedProcess
        with stdout and stderr as bytes."""
        with tempfile.TemporaryFile(dir=self.logs) as out, \
                tempfile.TemporaryFile(dir=self.logs) as err:
            try:
                code = subprocess.run(argv, env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                      stderr=err, timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                raise HarnessTimeout(f"{' '.join(argv)} did not end within {timeout} s") from None
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(argv, code, out.read(), err.read())
        if check and code != 0:
            raise HarnessError(f"{' '.join(argv)} exited with {code}: "
                               + (result.stdout + result.stderr).decode("utf-8", "replace")[-2000:])
        return result

    def wine_output(self, args, timeout=60):
        """Runs `wine ARGS` to its end; its standard output (code page 932)
        as text. Wine's own messages go to standard error and are left out."""
        return self._tool(["wine", *args], timeout=timeout).stdout.decode("cp932", "replace")

    def registry_values(self, key):
        """The values of a registry key ("HKCU\\..."), {name: data} as `reg query`
        prints them (a REG_DWORD as "0x1f"); None when there is no such key."""
        result = self._tool(["wine", "reg", "query", key], timeout=60, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("cp932", "replace").splitlines():
            match = re.match(r"^ {4}(.+?) {4}(REG_\w+)(?: {4}(.*))?$", line.rstrip("\r"))
            if match:
                values[match.group(1)] = match.group(3) or ""
        return values

    def start(self, program, args=(), cwd=None, extra_env=None):
        """Starts `wine PROGRAM ARGS`; output goes to a file under logs/."""
        self._counter += 1
        name = re.sub(r"[^\w.-]", "_", Path(str(program)).name)
        log_path = self.logs / f"{self._counter:03d}-{name}.log"
        out = open(log_path, "wb")
        env = self.env if not extra_env else {**self.env, **extra_env}
        proc = subprocess.Popen(["wine", str(program), *map(str, args)], env=env, cwd=cwd,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        out.close()
        proc.started_at = time.monotonic()
        proc.program = str(program)
        proc.log_path = log_path  # also what the programs it starts write to their output
        self.started.append(proc)
        return proc

    def wait_exit(self, proc, timeout):
        """The process's exit code; HarnessTimeout if it runs on past timeout."""
        try:
            return proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessTimeout(f"{Path(proc.program).name} did not exit within {timeout} s") from None

    def wait_loaded(self, proc, timeout=60):
        """Waits until Wine has loaded the program of a process started by start() (its file
        is mapped into the process), the moment it starts running its own code."""
        name = Path(proc.program).name.encode()

        def loaded():
            if proc.poll() is not None:
                raise AssertionError(f"{name.decode()} ended with exit code {proc.returncode} "
                                     "before it was loaded")
            try:
                with open(f"/proc/{proc.pid}/maps", "rb") as maps:
                    return name in maps.read()
            except OSError:
                return False  # not yet, or just ended: poll() tells next time

        self.wait_until(loaded, timeout, f"{name.decode()} loaded", interval=0.01)

    def debug_output(self, proc):
        """The lines that a process started with extra_env=DEBUG_OUTPUT, and the programs it
        started, wrote with OutputDebugString so far."""
        text = proc.log_path.read_text(encoding="utf-8", errors="replace")
        lines = []
        for found in _DEBUG_STRING.finditer(text):
            lines += _unescape_bytes(found.group(1)).decode("cp932", "replace").splitlines()
        return lines

    def wait_for_debug_output(self, proc, wanted, timeout=30):
        """Waits for a line of debug output (see debug_output) that contains wanted; the line."""
        def written():
            return next((line for line in self.debug_output(proc) if wanted in line), None)

        return self.wait_until(written, timeout, f"debug output {wanted!r}", interval=0.05)

    def run(self, program, args=(), timeout=60):
        return self.wait_exit(self.start(program, args), timeout)

    def kill_started(self):
        """Kills the processes this session started that still run."""
        for proc in self.started:
            if proc.poll() is None:
                proc.kill()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    pass
        self.started = [p for p in self.started if p.poll() is None]

    # ---------------------------------------------------- prefix state ---
    def _snapshot_dirs(self):
        dirs = [self.c_drive, self.temp_dir]
        return {d: set(os.listdir(d)) for d in dirs}

    def wine_processes(self):
        """{pid: Windows program} of the processes running in this prefix,
        other than Wine's own services (and the wineserver)."""
        found = {}
        marker = b"WINEPREFIX=" + bytes(self.prefix)
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if marker not in f.read().split(b"\0"):
                        continue
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    program = f.read().split(b"\0")[0].decode("utf-8", "replace")
            except OSError:
                continue  # gone, or not ours to read
            name = program.replace("\\", "/").rsplit("/", 1)[-1].lower()
            if name not in WINE_SERVICES and not name.startswith("wineserver"):
                found[int(pid)] = program
        return found

    def program_arguments(self, name):
        """The arguments of the running program whose file is named name (any case), as
        Wine shows that process's Windows command line, split into words; None while no
        such program runs."""
        for pid, program in self.wine_processes().items():
            if program.replace("\\", "/").rsplit("/", 1)[-1].lower() != name.lower():
                continue
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    words = f.read().rstrip(b"\0").split(b"\0")
            except OSError:
                continue  # it ended meanwhile
            return [word.decode("utf-8", "replace") for word in words[1:]]
        return None

    def kill_strays(self, timeout=10):
        """Kills every program still running in the prefix, including those
        started by the programs a test started."""
        strays = self.wine_processes()
        for pid in strays:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        if strays:
            self.wait_until(lambda: not (set(self.wine_processes()) & set(strays)), timeout,
                            f"the end of {sorted(strays.values())}")
        return strays

    def clean(self):
        """Kills started processes and removes what appeared in C:\\ and %TEMP%
        since set-up, leaving the prefix as the next test expects it. Returns
        the programs that were still running, though not started by us."""
        self.kill_started()
        strays = self.kill_strays()
        for directory, names in self._baseline.items():
            for name in set(os.listdir(directory)) - names:
                path = directory / name
                if path.is_dir() and not path.is_symlink():
                    shutil.rmtree(path, ignore_errors=True)
                else:
                    path.unlink(missing_ok=True)
        return strays

    # ---------------------------------------------------------- windows ---
    def _xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        if check and result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(map(str, args))}: "
                               + result.stderr.decode("utf-8", "replace"))
        return result.stdout.decode("utf-8", "replace")

    def windows(self, title):
        """Visible X windows whose name is exactly title."""
        out = self._xdotool("search", "--onlyvisible", "--name",
                            "^" + _posix_ere_escape(title) + "$", check=False)
        found = []
        for line in out.split():
            wid = int(line)
            # xdotool matches without regard to case; keep exact names only.
            name = self._xdotool("getwindowname", wid, check=False).rstrip("\n")
            if name == title:
                found.append(wid)
        return found

    def window_geometry(self, wid, title=""):
        out = self._xdotool("getwindowgeometry", "--shell", wid)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return Window(wid, title, int(values["X"]), int(values["Y"]),
                      int(values["WIDTH"]), int(values["HEIGHT"]))

    def find_window(self, title, timeout=30, proc=None):
        """Waits for a visible window named title; its geometry. With proc,
        fails as soon as that process has ended."""
        def found():
            for wid in self.windows(title):
                try:
                    return self.window_geometry(wid, title)
                except HarnessError:
                    pass  # it went away between search and query
            if proc is not None and proc.poll() is not None:
                program = getattr(proc, "program", None) or str(proc.args[0])
                raise AssertionError(f"{Path(program).name} ended with exit code "
                                     f"{proc.returncode} before a window {title!r} showed")
            return None

        return self.wait_until(found, timeout, f"a window {title!r}")

    def window_gone(self, title, timeout=30):
        """Waits until no visible window is named title."""
        return self.wait_until(lambda: not self.windows(title), timeout, f"window {title!r} gone")

    def wait_until(self, condition, timeout, what, interval=0.1):
        """Polls condition() until it returns something true; returns that."""
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise HarnessTimeout(f"{what}: not within {timeout} s")
            time.sleep(interval)

    def holds_for(self, condition, seconds, what, interval=0.1):
        """Checks that condition() stays true for seconds. The one wait of a fixed length:
        for what must NOT happen, such as a timer that has to have stopped, no event marks
        the absence, so the test watches for a bounded time. Fails as soon as it turns false."""
        deadline = time.monotonic() + seconds
        while True:
            assert condition(), f"{what}: no longer so"
            if time.monotonic() > deadline:
                return
            time.sleep(interval)

    # ----------------------------------------------------------- screen ---
    def screenshot(self, path=None):
        """The whole screen as a Picture; also saved to path (any format
        ImageMagick writes, chosen by its extension) when given."""
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=60)
        if result.returncode != 0:
            raise HarnessError("import failed: " + result.stderr.decode("utf-8", "replace"))
        if path is not None:
            Path(path).parent.mkdir(parents=True, exist_ok=True)
            subprocess.run(["convert", "ppm:-", str(path)], input=result.stdout,
                           env=self.env, check=True, timeout=60)
        return Picture.from_ppm(result.stdout)

    @contextlib.contextmanager
    def _xlib(self):
        """libX11 with a connection to this display: (library, display)."""
        xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        ptr, ulong, int_ = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
        for name, restype, argtypes in (
                ("XOpenDisplay", ptr, [ctypes.c_char_p]), ("XCloseDisplay", int_, [ptr]),
                ("XDefaultRootWindow", ulong, [ptr]), ("XSync", int_, [ptr, int_]),
                ("XSetWindowBackground", int_, [ptr, ulong, ulong]),
                ("XClearWindow", int_, [ptr, ulong]), ("XFree", int_, [ptr]),
                ("XCreateGC", ptr, [ptr, ulong, ulong, ptr]), ("XFreeGC", int_, [ptr, ptr]),
                ("XSetSubwindowMode", int_, [ptr, ptr, int_]),
                ("XSetForeground", int_, [ptr, ptr, ulong]),
                ("XFillRectangle", int_, [ptr, ulong, ptr, int_, int_, ctypes.c_uint, ctypes.c_uint]),
                ("XQueryPointer", ctypes.c_bool, [ptr, ulong] + [ctypes.POINTER(ulong)] * 2
                 + [ctypes.POINTER(int_)] * 4 + [ctypes.POINTER(ctypes.c_uint)])):
            getattr(xlib, name).restype = restype
            getattr(xlib, name).argtypes = argtypes
        display = xlib.XOpenDisplay(self.display.encode())
        if not display:
            raise HarnessError(f"cannot open display {self.display}")
        try:
            yield xlib, display
        finally:
            xlib.XCloseDisplay(display)

    def paint_root(self, rgb):
        """Gives the root window a solid background colour, so that what a
        program draws outside its own window shows up on screenshots."""
        with self._xlib() as (xlib, display):
            root = xlib.XDefaultRootWindow(display)
            r, g, b = rgb
            xlib.XSetWindowBackground(display, root, (r << 16) | (g << 8) | b)
            xlib.XClearWindow(display, root)
            xlib.XSync(display, 0)

    def paint_over(self, x, y, width, height, rgb):
        """Paints a box of the screen over whatever windows show there, as a window dragged
        across them would leave it: only their owners' repainting brings them back."""
        with self._xlib() as (xlib, display):
            root = xlib.XDefaultRootWindow(display)
            gc = xlib.XCreateGC(display, root, 0, None)
            xlib.XSetSubwindowMode(display, gc, 1)  # IncludeInferiors: over the windows too
            r, g, b = rgb
            xlib.XSetForeground(display, gc, (r << 16) | (g << 8) | b)
            xlib.XFillRectangle(display, root, gc, x, y, width, height)
            xlib.XFreeGC(display, gc)
            xlib.XSync(display, 0)

    def cursor_image(self):
        """The X pointer's current picture: (width, height, hot x, hot y, number of
        pixels that are not fully transparent). A hidden pointer has none."""
        class Image(ctypes.Structure):
            _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                        ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                        ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                        ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]
        xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        with self._xlib() as (xlib, display):
            pointer = xfixes.XFixesGetCursorImage(display)
            image = pointer.contents
            shown = sum(1 for i in range(image.width * image.height) if image.pixels[i] >> 24)
            result = (image.width, image.height, image.xhot, image.yhot, shown)
            xlib.XFree(pointer)
            return result

    # ------------------------------------------------------------ input ---
    def mouse_location(self):
        """The pointer's position on the screen. (Asked of the X server directly: xdotool's
        getmouselocation also reads the window under the pointer, and fails when that window
        goes away meanwhile.)"""
        with self._xlib() as (xlib, display):
            windows = [ctypes.c_ulong() for _ in range(2)]
            where = [ctypes.c_int() for _ in range(4)]
            mask = ctypes.c_uint()
            xlib.XQueryPointer(display, xlib.XDefaultRootWindow(display),
                               *map(ctypes.byref, windows + where), ctypes.byref(mask))
            return where[0].value, where[1].value

    def mouse_move(self, x, y):
        """Moves the pointer and waits until it is there. (`mousemove --sync`
        waits 15 s when the pointer is already in place, so it is not used.)"""
        for _ in range(3):
            if self.mouse_location() == (x, y):
                return
            self._xdotool("mousemove", x, y)
            try:
                self.wait_until(lambda: self.mouse_location() == (x, y), 5,
                                f"pointer at ({x}, {y})", interval=0.02)
                return
            except HarnessTimeout:
                pass  # moves can land a pixel off; try again
        raise HarnessError(f"the pointer does not go to ({x}, {y}); it is at {self.mouse_location()}")

    def click(self, x, y, button=1):
        self.mouse_move(x, y)
        self._xdotool("click", button)

    def key(self, key):
        self._xdotool("key", key)

    @contextlib.contextmanager
    def holding(self, key):
        """Holds key down for the body of a with-block. (Xvfb runs with auto-repeat off:
        one key-down, one key-up.)"""
        self._xdotool("keydown", key)
        try:
            yield
        finally:
            self._xdotool("keyup", key)

    def end_by_escape(self, proc, window, timeout=15):
        """Holds Escape over window until proc exits; its exit code."""
        self.mouse_move(*window.center)
        with self.holding("Escape"):
            return self.wait_exit(proc, timeout)

    def close_by_message(self, image_name, timeout=30):
        """Sends WM_CLOSE to the top-level windows of the processes running
        image_name (e.g. "prog.exe"), the way Wine's taskkill without /F does."""
        return self._tool(["wine", "taskkill", "/IM", image_name], timeout=timeout).returncode


# ------------------------------------------------ Merovan's programs ---
# What the test modules share about the programs under test.
REPO = Path(__file__).resolve().parents[2]
SCR = "メロヴァン.scr"
RENDERER = "メロヴァン.dll"
RUN_CAPTION = "Merovan_Main"
RENDERER_TITLE = "Merovan_VC"
PROGRAM_TITLE = "メロヴァン"
INSTALL_FOLDER = "ﾃｽﾄ ﾌｫﾙﾀﾞ"  # blanks and Japanese in the program folder's path
MUSIC_FOLDER = "ﾐｭｰｼﾞｯｸ 曲"
MCI_TRACE = {"WINEDEBUG": "+timestamp,+mci,+winmm"}
# Wine writes each OutputDebugString call as a warning of its exception channel.
DEBUG_OUTPUT = {"WINEDEBUG": "warn+seh"}
_DEBUG_STRING = re.compile(r'^(?:\d+\.\d+:)?[0-9a-f]+:warn:seh:OutputDebugStringA "((?:[^"\\]|\\.)*)"',
                           re.MULTILINE)
_MCI_COMMAND = re.compile(r'^(\d+\.\d+):[0-9a-f]+:trace:mci:mciSendStringW \(L"((?:[^"\\]|\\.)*)"')
_MCI_RESULT = re.compile(r'^(\d+\.\d+):[0-9a-f]+:trace:mci:mciSendStringW => 2/ (-?\d+)')


DISPLAY_KEYS = ("表示範囲", "描画間隔", "終了操作")  # every monitor, paced frames, any input ends


def settings_bytes(kind, repeat, music="", display=None):
    """A settings file as the settings window writes it: code page 932, CR LF lines; with
    display, a (0 or 1, 0 or 1, 0 or 1) of the display options, their keys after the music's."""
    text = f"[Section]\r\nBGM区分= {kind}\r\nBGMﾘﾋﾟｰﾄ= {repeat}\r\nBGMﾌｧｲﾙ={music}\r\n"
    for key, value in zip(DISPLAY_KEYS, display or ()):
        text += f"{key}= {value}\r\n"
    return text.encode("cp932")


def install(session, dist, renderer=True):
    """Copies the programs into a folder of their own on C:; returns the .scr."""
    folder = session.c_drive / INSTALL_FOLDER / "メロヴァン"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy(dist / SCR, folder)
    if renderer:
        shutil.copy(dist / RENDERER, folder)
    return folder / SCR


def start_run(session, scr, switch="/s", extra_env=None):
    """Starts a run; the process and the renderer's window."""
    proc = session.start(scr, [switch], extra_env=extra_env)
    try:
        return proc, session.find_window(RENDERER_TITLE, timeout=60, proc=proc)
    except HarnessTimeout as e:
        running = ", ".join(sorted(session.wine_processes().values())) or "none"
        raise HarnessTimeout(f"{e}; programs running: {running}") from e


def wintool(dist):
    return (dist.parent / "test-hosts" / "wintool.exe").resolve()


def parse_wintool(text):
    """wintool's lines as {label: {key: value}}; a caption runs to the line's end."""
    lines = {}
    for line in text.splitlines():
        if not line.strip():
            continue
        caption = None
        if " caption=" in line:
            line, caption = line.split(" caption=", 1)
        words = line.split()
        lines[words[0]] = dict(word.split("=", 1) for word in words if "=" in word)
        if caption is not None:
            lines[words[0]]["caption"] = caption.rstrip("\r")
    return lines


def bmp_rows(path):
    """(header, rows) of a 24-bit bottom-up bitmap; rows[i] is the i-th row stored in
    the file, as bytes of blue-green-red pixels."""
    header = read_bmp_header(path)
    data = Path(path).read_bytes()
    stride = (header["width"] * 3 + 3) // 4 * 4
    rows = [data[header["offset"] + i * stride: header["offset"] + i * stride + header["width"] * 3]
            for i in range(header["height"])]
    return header, rows


def screen_row_bgr(picture, y):
    return b"".join(bytes((b, g, r)) for r, g, b in (picture.pixel(x, y) for x in range(picture.width)))


def show_desktop_pattern(session, path):
    """Puts an asymmetric picture on the X root window, which Wine's desktop
    shows: red at the top fading to blue at the bottom, with white marks."""
    subprocess.run(["convert", "-size", "1280x1024", "gradient:red-blue", "-fill", "white",
                    "-draw", "rectangle 100,50 300,120", "-draw", "rectangle 900,800 1000,1010",
                    "-fill", "yellow", "-draw", "rectangle 0,0 0,1023", str(path)],
                   check=True, env=session.env, timeout=60)
    # display sets the picture as the root's background and exits at once.
    subprocess.run(["display", "-window", "root", str(path)], env=session.env, timeout=60)


def _face(name):
    """A push-button face picture as rows of (r, g, b), top row first."""
    _, rows = bmp_rows(REPO / "pictures" / f"face_{name}.bmp")
    return [[(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 3)] for row in reversed(rows)]


def _face_samples(picture, w, h):
    """Where a w × h button draws which face pixel: corners unscaled, edges stretched along
    their length by pixel replication."""
    def along_x(x):
        return 4 + (x - 4) * 56 // (w - 8)

    def along_y(y):
        return 4 + (y - 4) * 17 // (h - 8)

    mid_x, mid_y = w // 2, h // 2
    samples = {(0, 0): picture[0][0], (3, 3): picture[3][3], (1, 2): picture[2][1],
               (w - 1, 0): picture[0][63], (w - 4, 3): picture[3][60],
               (0, h - 1): picture[24][0], (w - 1, h - 1): picture[24][63]}
    for row in range(4):
        samples[(mid_x, row)] = picture[row][along_x(mid_x)]
        samples[(mid_x, h - 1 - row)] = picture[24 - row][along_x(mid_x)]
        samples[(row, mid_y)] = picture[along_y(mid_y)][row]
        samples[(w - 1 - row, mid_y)] = picture[along_y(mid_y)][63 - row]
    return samples


def shows_face(session, origin, button, name):
    """Whether the push button at (x, y, width, height) from the screen point origin shows
    the face picture name ("normal", "highlight", "pressed", "selected", "disable")."""
    x0, y0, w, h = button
    shot = session.screenshot()
    return all(shot.pixel(origin[0] + x0 + dx, origin[1] + y0 + dy) == rgb
               for (dx, dy), rgb in _face_samples(_face(name), w, h).items())


def make_music(session, name, seconds):
    """A tone of the given length in C:\\ﾐｭｰｼﾞｯｸ 曲; returns its Windows path."""
    folder = session.c_drive / MUSIC_FOLDER
    folder.mkdir(exist_ok=True)
    wav = folder / (name.rsplit(".", 1)[0] + ".wav")
    subprocess.run(["sox", "-q", "-n", "-r", "44100", "-c", "2", str(wav), "synth", str(seconds),
                    "sine", "440"], check=True, timeout=60)
    if name.lower().endswith(".mp3"):
        subprocess.run(["lame", "--quiet", "-b", "64", str(wav), str(folder / name)], check=True, timeout=60)
        wav.unlink()
    return f"C:\\{MUSIC_FOLDER}\\{name}"


def start_traced_run(session, scr):
    """A run with one wave device whose MCI commands Wine traces into its log."""
    (session.home / ".asoundrc").write_text("pcm.!default { type null }\n")
    proc, window = start_run(session, scr, extra_env=MCI_TRACE)
    proc.log_name = proc.log_path.name
    return proc, window


def _unescape(text):
    """Undoes Wine's debug quoting: \\\\, \\", \\n and the like, and \\XXXX for other characters."""
    return re.sub(r"\\([0-9a-f]{4}|.)", lambda m: chr(int(m[1], 16)) if len(m[1]) == 4
                  else {"n": "\n", "r": "\r", "t": "\t"}.get(m[1], m[1]), text)


def _unescape_bytes(text):
    """Undoes Wine's quoting of a narrow string: \\xNN for a byte, \\n and the like."""
    return re.sub(rb"\\(x[0-9a-f]{2}|.)", lambda m: bytes([int(m[1][1:], 16)]) if len(m[1]) == 3
                  else {b"n": b"\n", b"r": b"\r", b"t": b"\t"}.get(m[1], m[1]), text.encode("utf-8"))


def mci_commands(session, proc):
    """[(seconds, command, code)] of every MCI command a traced run sent, in order."""
    commands = []
    for line in (session.logs / proc.log_name).read_text(encoding="utf-8", errors="replace").splitlines():
        found = _MCI_COMMAND.match(line)
        if found:
            commands.append([float(found.group(1)), _unescape(found.group(2)), None])
            continue
        result = _MCI_RESULT.match(line)
        if result and commands and commands[-1][2] is None:
            commands[-1][2] = int(result.group(2))
    return [tuple(c) for c in commands]


def sent(session, proc):
    return [command for _, command, _ in mci_commands(session, proc)]


def run_as_user(session, dist, case):
    """Runs a case of as_user_run.py as an ordinary user (root ignores file modes), with
    a prefix of that user's own, on this run's display."""
    user = "merovan-e2e"
    if os.geteuid() != 0:
        raise Skip("needs root to run as another user")
    # The user and its folder belong to the machine, not to this run: one such run at a time.
    with open("/tmp/merovan-e2e-user.lock", "a") as lock:
        session.wait_until(lambda: _locked(lock), 240, "the end of another run as that user", interval=1)
        _run_as_user_locked(session, dist, case, user)


def _run_as_user_locked(session, dist, case, user):
    try:
        pwd.getpwnam(user)
    except KeyError:
        subprocess.run(["useradd", "--create-home", user], check=True, timeout=60)
    # Wine wants the prefix's parent folder to belong to the user; the programs are
    # copied there because the user may not read the build folder.
    work = Path("/home") / user / "merovan-e2e"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    shutil.copytree(dist, work / "dist")
    shutil.copytree(dist.parent / "test-hosts", work / "test-hosts")
    here = Path(__file__).resolve().parent
    shutil.copytree(here, work / "e2e", ignore=shutil.ignore_patterns("__pycache__", "hosts"))
    subprocess.run(["chown", "-R", f"{user}:{user}", str(work)], check=True, timeout=60)
    try:
        result = subprocess.run(
            ["runuser", "-u", user, "--", "python3", str(work / "e2e" / "as_user_run.py"), "--case", case,
             "--display", session.display, "--work", str(work / "work"), "--dist", str(work / "dist")],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600, cwd=work)
        output = result.stdout.decode("utf-8", "replace")
        for line in output.strip().splitlines()[-3:]:
            session.log(line)
        assert result.returncode == 0, output[-3000:]
    finally:
        subprocess.run(["pkill", "-u", user], timeout=30)
        shutil.rmtree(work, ignore_errors=True)
