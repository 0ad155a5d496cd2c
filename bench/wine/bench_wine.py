#!/usr/bin/env python3
"""Measurements of the XP executable under Wine, each printed against its budget. Run by
scripts/bench-wine.sh (which builds build/xp and the target wine_bench first); never a test.
Where the host cannot run 32-bit code, the x86-64 test build (build/x64) is measured under
64-bit Wine instead, and only the size is the shipped exe's.

Every measurement runs the real QX481Mon.exe in a prefix set up as a machine it runs on
(e2e/machine.py: the camera, its capture device, the stand-in cfgmgr32.dll and powrprof.dll).
TestCamera counts its writes in a shared section (E2E_CAMERA_COUNTERS) instead of logging
them, and the stand-in powrprof logs each policy read (E2E_POWER_LOG): one per timer tick.

- Latency: bench_tool.exe sends the monitor WM_POWERBROADCAST/PBT_APMSUSPEND and, in turns
  with it, makes the same platform calls inline, through the monitor's own channel code: on
  its own thread, which has no COM, and in a second process on a thread that holds a COM
  apartment, as Wine's imm32 makes the monitor's thread do; and sends WM_NULL, for the cost of
  delivery alone. TestCamera stamps QueryPerformanceCounter as its Set begins, so each figure
  runs from the send to the write.
- Idle CPU: two monitors left alone for 60 s, one with the critical level far from the
  battery's (its timer moves to 120 s), one without a power policy (the read fails, as with
  Wine's own powrprof, so the timer stays at 20 s). The Linux process's CPU time, sampled every
  second, is set against the timer ticks the stand-in powrprof logs.
- Size: the stripped exe against the smallest dialog program built with the same options.
- Endurance: 10,000 events into one monitor; its handles and memory at start, after 1,000 and
  after 10,000, set against what the same calls made directly leave behind in any process.
The idle monitors run while the other measurements do: an idle process spends nothing however
busy the machine is, and that is what is measured.
"""

import contextlib
import os
import statistics
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
XP = ROOT / "build" / "xp"
os.environ.setdefault("E2E_BUILD", str(XP / "e2e"))
BENCH = Path(os.environ["E2E_BUILD"]).parent / "bench" / "wine"
sys.path.insert(0, str(ROOT / "e2e"))

import harness  # noqa: E402
import machine  # noqa: E402
from harness import Prefix, binary  # noqa: E402

NAME = machine.CAMERA_NAME
ENV = {**machine.ENVIRONMENT, "E2E_CAMERA_LOG": "",
       "E2E_CAMERA_COUNTERS": "QX481BenchCameraCounters", "E2E_POWER_LOG": r"C:\e2e\power.log"}

LATENCY_ROUNDS = 200
IDLE_SECONDS = 60
EVENTS = (1000, 9000)
SIZE_BUDGET = 12 * 1024
RATIO_BUDGET = 1.10
HANDLE_SLACK = 5  # handles a count may catch in use
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def verdict(ok):
    return "ok" if ok else "OVER BUDGET"


class Monitor:
    """The real executable running in a prefix where it qualifies."""

    def __init__(self, stack, name, level):
        self.wine = stack.enter_context(Prefix(name))
        machine.add_supported_camera(self.wine)
        exe = machine.install(self.wine)
        find = self.wine.put(binary("monitor_tool.exe"))
        self.tool = self.wine.put(BENCH / "bench_tool.exe")
        if level is not None:
            machine.set_critical_level(self.wine, level)
        self.process = self.wine.start(exe, overrides=machine.OVERRIDES, env=ENV)
        found = self.wine.run(find, "find")
        if found.returncode != 0:
            raise RuntimeError(f"the monitor did not start in {name}: {found.stdout}")
        self.pid = self.process.pid
        assert Path(f"/proc/{self.pid}/comm").read_text().strip() == "QX481Mon.exe"
        self.server = next((pid for pid in self.wineserver_pids()), None)

    def wineserver_pids(self):
        wanted = f"WINEPREFIX={self.wine.path}".encode()
        for entry in Path("/proc").iterdir():
            try:
                if (entry.name.isdigit() and (entry / "comm").read_text().startswith("wineserver")
                        and wanted in (entry / "environ").read_bytes().split(b"\0")):
                    yield int(entry.name)
            except OSError:
                continue

    def tool_run(self, *args):
        done = self.wine.run(self.tool, *args, env=ENV, timeout=600)
        if done.returncode != 0:
            raise RuntimeError(f"bench_tool {' '.join(args)}: {done.stdout}{done.stderr}")
        return done.stdout

    def ticks(self):
        """Timer ticks so far: the monitor reads the power policy on every tick."""
        log = self.wine.e2e / "power.log"
        return len(log.read_text().splitlines()) if log.exists() else 0


def cpu(pid):
    """(clock ticks of user+system time, nanoseconds on a CPU, voluntary context switches)
    of a process, all its threads."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])
    nanoseconds = switches = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        nanoseconds += int((task / "schedstat").read_text().split()[0])
        for line in (task / "status").read_text().splitlines():
            if line.startswith("voluntary_ctxt_switches"):
                switches += int(line.split()[1])
    return ticks, nanoseconds, switches


def memory(pid):
    status = dict(line.split(":", 1) for line in Path(f"/proc/{pid}/status").read_text().splitlines())
    rollup = dict(line.split(":", 1) for line in
                  Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:])
    kib = lambda table, key: int(table[key].split()[0])
    return {"RssAnon": kib(status, "RssAnon"), "VmData": kib(status, "VmData"),
            "Private": kib(rollup, "Private_Clean") + kib(rollup, "Private_Dirty"),
            "fds": len(os.listdir(f"/proc/{pid}/fd"))}


class IdleSampler(threading.Thread):
    """Samples the idle monitors once a second."""

    def __init__(self, monitors):
        super().__init__()
        self.monitors = monitors
        self.samples = {m: [] for m in monitors}

    def run(self):
        start = time.monotonic()
        for second in range(IDLE_SECONDS + 1):
            time.sleep(max(0.0, start + second - time.monotonic()))
            for m in self.monitors:
                server = cpu(m.server)[1] if m.server else 0
                self.samples[m].append((cpu(m.pid), m.ticks(), server))


def report_idle(label, samples):
    (ticks0, ns0, switches0), timer0, server0 = samples[0]
    (ticks1, ns1, switches1), timer1, server1 = samples[-1]
    # A second in which the process ran but no tick began, nor in the second before it.
    busy = [i for i in range(1, len(samples)) if samples[i][0][1] > samples[i - 1][0][1]]
    tick_seconds = {i for i in range(1, len(samples)) if samples[i][1] > samples[i - 1][1]}
    between = [i for i in busy if i not in tick_seconds and i - 1 not in tick_seconds]
    print(f"  {label}:")
    print(f"    timer ticks {timer1 - timer0}; user+sys {ticks1 - ticks0} clock ticks "
          f"(1/{CLOCK_TICKS} s), {(ns1 - ns0) / 1e6:.2f} ms on a CPU, "
          f"{switches1 - switches0} wake-ups; the prefix's wineserver, for all its processes, "
          f"{(server1 - server0) / 1e6:.2f} ms")
    print(f"    seconds with CPU use {len(busy)}, of them between ticks {len(between)} "
          f"(budget 0): {verdict(not between)}")


def quantile(values, q):
    values = sorted(values)
    return values[min(len(values) - 1, int(q * len(values)))]


def report_latency(output):
    runs = {}
    for line in output.splitlines():
        kind, to_set, total = line.split()
        runs.setdefault(kind, []).append((float(to_set), float(total)))
    med = lambda kind, i: statistics.median(r[i] for r in runs[kind])
    p90 = lambda kind, i: quantile([r[i] for r in runs[kind]], 0.9)
    print(f"Latency, send to the driver's write, {LATENCY_ROUNDS} interleaved rounds "
          f"(microseconds, median / p90):")
    for kind, label in (("monitor", "monitor (SendMessage to QX481Mon.exe)"),
                        ("direct", "bare reference program (the calls inline)"),
                        ("held", "the calls inline, apartment held")):
        print(f"  {label:44} {med(kind, 0):8.0f} / {p90(kind, 0):8.0f}"
              f"   round trip {med(kind, 1):8.0f} / {p90(kind, 1):8.0f}")
    print(f"  {'message delivery alone (WM_NULL round trip)':44} {'':19}"
          f"   round trip {med('null', 1):8.0f} / {p90('null', 1):8.0f}")
    ratio, ratio90 = med("monitor", 0) / med("direct", 0), p90("monitor", 0) / p90("direct", 0)
    print(f"  monitor / bare reference: {ratio:.2f} median, {ratio90:.2f} p90 "
          f"(budget {RATIO_BUDGET:.2f}): {verdict(ratio <= RATIO_BUDGET)}")
    held, held90 = med("monitor", 0) / med("held", 0), p90("monitor", 0) / p90("held", 0)
    print(f"  monitor / the calls with the apartment held: {held:.2f} median, {held90:.2f} p90")
    own = (med("monitor", 1) - med("null", 1)) / med("held", 1)
    print(f"  the handler's work (monitor round trip less delivery) / the same calls inline: "
          f"{own:.2f} (budget {RATIO_BUDGET:.2f}): {verdict(own <= RATIO_BUDGET)}")


def usage(monitor):
    fields = monitor.tool_run("usage").split()
    figures = dict(zip(fields[::2], map(int, fields[1::2])))
    figures.update(memory(monitor.pid))
    return figures


def report_endurance(monitor):
    print("Endurance, events into one monitor (suspend query, suspend, session end query, "
          "session end, timer tick; each a camera write):")
    print(f"  {'after':>7} {'handles':>8} {'keys':>6} {'RssAnon':>9} {'VmData':>9} "
          f"{'Private':>9} {'fds':>5} {'pagefile':>10}")
    rows = [(0, usage(monitor))]
    sent = 0
    for count in EVENTS:
        done = monitor.tool_run("events", str(count), machine.CRITICAL_LEVEL_FILE).split()
        sent += count
        writes, seconds = int(done[3]), float(done[5])
        rows.append((sent, usage(monitor)))
        rows[-1][1]["writes"], rows[-1][1]["seconds"] = writes, seconds
    for events, f in rows:
        print(f"  {events:7} {f['handles']:8} {f['keys']:6} {f['RssAnon']:7} k {f['VmData']:7} k "
              f"{f['Private']:7} k {f['fds']:5} {f['pagefile'] // 1024:8} k")
    total_writes = sum(f["writes"] for _, f in rows[1:])
    total_seconds = sum(f["seconds"] for _, f in rows[1:])
    print(f"  {sent} events, {total_writes} camera writes, {total_seconds:.1f} s "
          f"({total_seconds / sent * 1e3:.2f} ms an event)")
    platform = monitor.tool_run("platform", NAME, str(EVENTS[0]), str(EVENTS[1])).split()
    per_write, keys_per_write, platform_kib = float(platform[3]), float(platform[5]), int(platform[7]) // 1024
    first, last = rows[1][1], rows[-1][1]
    handles = last["handles"] - first["handles"]
    own = handles - per_write * EVENTS[1]
    private = last["pagefile"] // 1024 - first["pagefile"] // 1024
    print(f"  the same writes made directly, {EVENTS[0]:,} and then {EVENTS[1]:,} in one process "
          f"with an apartment held, leave {per_write:.2f} handles ({keys_per_write:.2f} registry "
          f"keys) each and {platform_kib:+d} KiB of private memory behind: Wine's device "
          f"enumerator keeps two keys it opens for every class enumeration")
    print(f"  from {EVENTS[0]:,} to {sum(EVENTS):,} events: handles {handles:+d}, beyond the "
          f"platform's own {own:+.0f} (budget 0): {verdict(abs(own) <= HANDLE_SLACK)}")
    print(f"  private memory {private:+d} KiB (RssAnon), beyond the platform's own "
          f"{private - platform_kib:+d} KiB; VmData {last['VmData'] - first['VmData']:+d} KiB "
          f"(budget: no growth beyond the platform's, to a 64 KiB step): "
          f"{verdict(private - platform_kib <= 64)}")


def report_size():
    exe = (XP / "QX481Mon.exe").stat().st_size
    minimal = (XP / "bench" / "wine" / "minimal_dialog.exe").stat().st_size
    print(f"Size: QX481Mon.exe {exe} bytes, the smallest dialog program {minimal} bytes "
          f"(+{exe - minimal}); budget {SIZE_BUDGET}: {verdict(exe <= SIZE_BUDGET)}")


def main():
    started = time.monotonic()
    bits = "64-bit, the x86-64 test build" if harness.ARCH == "win64" else "32-bit"
    print(f"Under {harness.wine_version()}, a headless Windows XP prefix ({bits}):")
    with contextlib.ExitStack() as stack:
        idle = {"critical level far (300): timer at 120 s": Monitor(stack, "bench_idle_far", 300),
                "no power policy (read fails): timer at 20 s": Monitor(stack, "bench_idle_none",
                                                                       None)}
        sampler = IdleSampler(list(idle.values()))
        sampler.start()

        report_size()
        latency = Monitor(stack, "bench_latency", 300)
        latency.wine.start(latency.tool, "serve", NAME, env=ENV)
        report_latency(latency.tool_run("latency", NAME, str(LATENCY_ROUNDS)))
        report_endurance(Monitor(stack, "bench_endurance", 300))

        sampler.join()
        print(f"Idle CPU over {IDLE_SECONDS} s after start, the Linux process of QX481Mon.exe:")
        for label, monitor in idle.items():
            report_idle(label, sampler.samples[monitor])
    print(f"(Wine measurements took {time.monotonic() - started:.0f} s)")


if __name__ == "__main__":
    main()
