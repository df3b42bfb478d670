#!/usr/bin/env python3
"""Measures the bridge end to end on loopback: the time from a value set in sioc-sim to its
Q-line at psx-sim, from a PSX value sent by psx-sim to its "Arn.Resp:" at sioc-sim, and the
bridge's CPU time while idle.

    bench/bridge_latency.py [build-dir] [--changes 100] [--idle-seconds 60]

Needs the linux preset built (talvesync, psx-sim, sioc-sim, ssi-writer)."""
import argparse, os, queue, signal, statistics, subprocess, sys, tempfile, threading, time


class Server:
    def __init__(self, program, args):
        self.proc = subprocess.Popen([program] + args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.port = int(self.wait(lambda l: l.startswith("listening "), 10).split()[1])

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put((time.monotonic(), line.rstrip("\n")))

    def wait(self, match, timeout):
        deadline = time.monotonic() + timeout
        while True:
            stamp, line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            if match(line):
                self.stamp = stamp
                return line

    def command(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def summary(name, samples):
    ms = sorted(s * 1000 for s in samples)
    print(f"{name}: {len(ms)} changes, median {statistics.median(ms):.1f} ms, worst {ms[-1]:.1f} ms")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build/linux")
    parser.add_argument("--changes", type=int, default=100)
    parser.add_argument("--idle-seconds", type=int, default=60)
    options = parser.parse_args()
    build = os.path.abspath(options.build)
    work = tempfile.mkdtemp(prefix="talvesync-bench.")

    sioc = Server(f"{build}/tools/sioc-sim", ["--port", "0", "--vivo-ms", "5000"])
    psx = Server(f"{build}/tools/psx-sim", ["--port", "10747", "--tick-ms", "0"])
    subprocess.run([f"{build}/tools/ssi-writer", f"{work}/cockpit.ssi", "1006", "2005"], check=True,
                   stdout=subprocess.DEVNULL)
    with open(f"{work}/Talvesync.cfg", "w") as cfg:
        cfg.write(f"IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={sioc.port}\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n")
    bridge = subprocess.Popen([f"{build}/talvesync"], cwd=work, stdout=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 20
        log = f"{work}/Log.txt"
        while not os.path.exists(log) or "processing input from PSX and SIOC started" not in open(log).read():
            if time.monotonic() > deadline:
                sys.exit("the bridge did not start processing")
            time.sleep(0.1)

        to_psx, to_sioc = [], []
        for i in range(options.changes):
            value = (i + 1) % 2  # alternate so every set is a change
            sent = time.monotonic()
            sioc.command(f"set 1006 {value}")
            psx.wait(lambda l: l == f"recv Qh6={value}", 5)
            to_psx.append(psx.stamp - sent)

            sent = time.monotonic()
            psx.command(f"send Qi5={1000 + i}")
            sioc.wait(lambda l: l == f"recv Arn.Resp:2005={1000 + i}:", 5)
            to_sioc.append(sioc.stamp - sent)
            time.sleep(0.013 * (i % 7))  # spread the changes over the 50 ms cycle
        summary("SIOC switch -> PSX line", to_psx)
        summary("PSX value -> SIOC Arn.Resp", to_sioc)

        before = cpu_seconds(bridge.pid)
        time.sleep(options.idle_seconds)
        used = cpu_seconds(bridge.pid) - before
        print(f"idle for {options.idle_seconds} s: {used:.2f} s of CPU ({100 * used / options.idle_seconds:.2f} %)")
    finally:
        bridge.send_signal(signal.SIGTERM)
        bridge.wait(10)
        sioc.stop()
        psx.stop()


if __name__ == "__main__":
    main()
