"""How long `zqwcce-cli send` takes to give up on a server that stops
talking, against its --timeout, with a server that drops every connection
at once as the baseline measured in the same run (the command's start and
its failure without any wait):
    silent      accepts and never greets;
    stall-data  takes the whole message and never answers it.
"wait / timeout" is the time beyond the baseline over the timeout: near 1
when the command gives up once the timeout has passed, below 1 when it gives
up early, near 2 when it waits out a second timeout (for the answer to its
QUIT, say). Run by hand, not a test.

usage: /usr/bin/python3 send_timeout_bench.py ZQWCCE_CLI
"""
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

RUNS = 3


def raw_server(behaviour, stop):
    """Serves on a free loopback port until stop is set; returns the port."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    listener.settimeout(0.2)
    held = []

    def converse(conn):
        reader = conn.makefile("rb")
        conn.sendall(b"220 bench ESMTP\r\n")
        while not stop.is_set():
            line = reader.readline()
            if not line:
                return
            verb = line[:4].upper()
            if verb == b"DATA":
                conn.sendall(b"354 go ahead\r\n")
                while reader.readline() not in (b".\r\n", b""):
                    pass
                stop.wait()
                return
            conn.sendall(b"221 bye\r\n" if verb == b"QUIT" else b"250 OK\r\n")

    def serve():
        while not stop.is_set():
            try:
                conn, _ = listener.accept()
            except socket.timeout:
                continue
            held.append(conn)
            if behaviour == "drop":
                conn.close()
            elif behaviour == "stall-data":
                threading.Thread(target=converse, args=(conn,), daemon=True).start()
        for conn in held:
            conn.close()
        listener.close()

    port = listener.getsockname()[1]
    threading.Thread(target=serve, daemon=True).start()
    return port


def seconds_to_fail(cli, package, behaviour, timeout):
    """The median time of RUNS sends to a server of this behaviour."""
    times = []
    for _ in range(RUNS):
        stop = threading.Event()
        port = raw_server(behaviour, stop)
        args = [cli, "send", package, "--host", "127.0.0.1", "--port", str(port), "--helo",
                "bench", "--from", "bench@example.org", "--name", "Bench", "--to",
                "cards@khf.example", "--timeout", str(timeout)]
        started = time.monotonic()
        subprocess.run(args, capture_output=True, timeout=10 * timeout + 60)
        times.append(time.monotonic() - started)
        stop.set()
    return statistics.median(times)


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        package = os.path.join(work, "bench.zqw")
        with open(package, "wb") as f:
            f.write(b"PK\x03\x04" + os.urandom(2000))
        baseline = seconds_to_fail(cli, package, "drop", 1)
        print(f"baseline (drop): {baseline:.3f} s")
        print(f"{'server':<12} {'timeout s':>9} {'elapsed s':>9} {'wait / timeout':>14}")
        for behaviour in ("silent", "stall-data"):
            for timeout in (1, 2, 4):
                elapsed = seconds_to_fail(cli, package, behaviour, timeout)
                ratio = (elapsed - baseline) / timeout
                print(f"{behaviour:<12} {timeout:>9} {elapsed:>9.3f} {ratio:>14.2f}")


if __name__ == "__main__":
    main()
