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
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "mail"))
from rawsmtp import raw_server  # noqa: E402  (the send tests' misbehaving server)

RUNS = 3


def seconds_to_fail(cli, package, behaviour, timeout):
    """The median time of RUNS sends to a server of this behaviour."""
    times = []
    for _ in range(RUNS):
        with raw_server(behaviour) as port:
            args = [cli, "send", package, "--host", "127.0.0.1", "--port", str(port), "--helo",
                    "bench", "--from", "bench@example.org", "--name", "Bench", "--to",
                    "cards@khf.example", "--timeout", str(timeout)]
            started = time.monotonic()
            subprocess.run(args, capture_output=True, timeout=10 * timeout + 60)
            times.append(time.monotonic() - started)
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
