"""Sends packages with `zqwcce-cli send` to real SMTP servers on loopback
(aiosmtpd, plus raw sockets for servers that misbehave) and checks what
arrives and what the command prints.

usage: send_test.py ZQWCCE_CLI
"""
import contextlib
import email
import email.policy
import email.utils
import json
import logging
import os
import re
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

from rawsmtp import raw_server

cli = sys.argv[1]
failures = []
# The servers log every refused handshake and login; the checks say enough.
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
warnings.simplefilter("ignore")

SENDER = "ann.lee@example.org"
SENDER_NAME = 'Ann "Spades" Lee'
RECIPIENT = "cards@khf.example"
HELO = "player-7"
PASSWORD = "s3cret pass"
TIMEOUT = 3  # seconds each network step may take in these tests
# Seconds after which a send counts as hung: ample for a send that fails at
# once or after TIMEOUT, and shorter than the sender's own default timeout
# (20 s), so a send that ignores --timeout hangs here. Where waiting on the
# timeout would be a fault, the send is given one far longer than this, so
# the fault shows as a hang. How long the timeouts take is measured by
# bench/send_timeout_bench.py.
HANG_GUARD = 15
LONG_TIMEOUT = "3600"
HEADER_INCOMPLETE = "Header Incomplete.\rPlease supply your name and email address"


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def free_port():
    # aiosmtpd cannot listen on port 0 itself.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Recorder:
    """An SMTP handler that keeps what each client said and refuses what it
    is told to refuse."""

    def __init__(self, refuse_rcpt=(), data_reply=None):
        self.refuse_rcpt = set(refuse_rcpt)
        self.data_reply = data_reply
        self.helos, self.mails, self.messages = [], [], []
        self.quits = 0

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        self.helos.append(hostname)
        return responses

    async def handle_MAIL(self, server, session, envelope, address, options):
        self.mails.append(address)
        envelope.mail_from = address
        envelope.mail_options.extend(options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        if address in self.refuse_rcpt:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.data_reply:
            return self.data_reply
        self.messages.append({
            "helo": session.host_name,
            "from": envelope.mail_from,
            "to": list(envelope.rcpt_tos),
            "content": envelope.original_content,
            "login": session.auth_data.login.decode() if session.auth_data else None,
        })
        return "250 OK"

    async def handle_QUIT(self, server, session, envelope):
        self.quits += 1
        return "221 Bye"


# Every login any server of these tests was offered, password included.
logins_seen = []


def authenticate(server, session, envelope, mechanism, auth_data):
    logins_seen.append(auth_data)
    ok = isinstance(auth_data, LoginPassword) and auth_data.password == PASSWORD.encode()
    # handled=False lets the server answer a failure with 535 itself.
    return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)


@contextlib.contextmanager
def smtp_server(handler, **options):
    port = free_port()
    controller = Controller(handler, hostname="127.0.0.1", port=port, **options)
    controller.start()
    try:
        yield port
    finally:
        controller.stop()


last_stderr = ""  # what the last run wrote to standard error


def run(package, smtp_port, *extra, **fields):
    """Runs the send command; fields override the usual options (None drops
    one). Returns the exit status and the parsed lines."""
    options = {"--host": "127.0.0.1", "--port": str(smtp_port), "--helo": HELO, "--from": SENDER,
               "--name": SENDER_NAME, "--to": RECIPIENT, "--timeout": str(TIMEOUT)}
    options.update({"--" + key.replace("_", "-"): value for key, value in fields.items()})
    args = [cli, "send", package, *extra]
    for key, value in options.items():
        if value is not None:
            args += [key, value]
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    global last_stderr
    last_stderr = ""
    try:
        result = subprocess.run(args, capture_output=True, timeout=HANG_GUARD, env=env)
    except subprocess.TimeoutExpired:
        check(False, f"{args} hangs: still running after {HANG_GUARD} s")
        return None, []
    last_stderr = result.stderr.decode("utf-8", "replace")
    lines = []
    for raw in result.stdout.decode("utf-8").splitlines():
        line = json.loads(raw)
        check(isinstance(line, dict) and len(line) == 1 and set(line) <= {"status", "message"},
              f"output line shape: {raw}")
        lines.append(line)
    return result.returncode, lines


def statuses(lines):
    return [line["status"] for line in lines if "status" in line]


def messages(lines):
    return [line["message"] for line in lines if "message" in line]


def package_bytes(size):
    # Bytes that trouble a careless encoder: a lone dot line (SMTP's end of
    # data), bare CR and LF, NUL, and every byte value.
    head = b"PK\x03\x04\r\n.\r\n.\n\r\x00" + bytes(range(256))
    return (head + os.urandom(size))[:size]


def check_delivery(work):
    """A package arrives intact under its bare file name, in a message with
    the expected header, over the connection opened by the connect step."""
    cases = [
        # label, package path under work, name it must arrive under, sender's name
        ("folder", os.path.join("cards", "spring.zqw"), "spring.zqw", SENDER_NAME),
        ("backslashes", "C:\\cards\\win.zqw", "win.zqw", SENDER_NAME),
        ("non-ASCII", "Müller pair.zqw", "Müller pair.zqw", "Jörg Müller"),
    ]
    for label, relative, bare, name in cases:
        path = os.path.join(work, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = package_bytes(48_000)
        with open(path, "wb") as f:
            f.write(data)
        handler = Recorder()
        with smtp_server(handler) as port:
            rc, lines = run(path, port, name=name)
        what = f"delivery ({label})"
        check(rc == 0, f"{what}: exit {rc}, {lines}")
        check(messages(lines) == [], f"{what}: messages {messages(lines)}")
        seen = statuses(lines)
        progress = [s for s in seen if re.fullmatch(r"\d+ bytes of \d+ sent", s)]
        expected = ["Host Resolved", "Connected", "Encoding " + bare, "Finished encoding " + bare,
                    "Sending message", *progress, "ZQW file successfully sent", "Disconnected"]
        check(progress and seen == expected, f"{what}: statuses {seen}")
        counts = [tuple(map(int, re.findall(r"\d+", s))) for s in progress]
        check(all(a[0] <= b[0] for a, b in zip(counts, counts[1:])), f"{what}: progress goes back")
        check(counts and counts[-1][0] == counts[-1][1] and counts[-1][1] > len(data) * 4 // 3,
              f"{what}: last progress {progress[-1:]}")

        check(handler.helos == [HELO], f"{what}: EHLO names {handler.helos} (one connection)")
        check(handler.quits == 1, f"{what}: QUIT sent {handler.quits} times")
        if not check(len(handler.messages) == 1, f"{what}: {len(handler.messages)} messages"):
            continue
        got = handler.messages[0]
        check(got["from"] == SENDER and got["to"] == [RECIPIENT], f"{what}: envelope {got}")
        mail = email.message_from_bytes(got["content"], policy=email.policy.default)
        check(mail["Subject"] == "ZQW file", f"{what}: subject {mail['Subject']}")
        check(mail["From"].addresses[0].display_name == name
              and mail["From"].addresses[0].addr_spec == SENDER, f"{what}: From {mail['From']}")
        check(mail["To"].addresses[0].addr_spec == RECIPIENT, f"{what}: To {mail['To']}")
        sent_at = email.utils.parsedate_to_datetime(str(mail["Date"])).timestamp()
        check(abs(sent_at - time.time()) < 300, f"{what}: Date {mail['Date']}")
        check(re.fullmatch(r"<[^@<>\s]+@example\.org>", str(mail["Message-ID"]) or ""),
              f"{what}: Message-ID {mail['Message-ID']}")
        check(re.fullmatch(r"zqwcce \d+\.\d+\S*", str(mail["X-Mailer"])),
              f"{what}: X-Mailer {mail['X-Mailer']}")
        check(mail.get_content_type() == "multipart/mixed", f"{what}: {mail.get_content_type()}")
        parts = list(mail.iter_parts())
        if not check(len(parts) == 2, f"{what}: {len(parts)} parts"):
            continue
        text, attachment = parts
        check(text.get_content_type() == "text/plain"
              and text.get_content_charset() == "us-ascii"
              and text.get_content().strip() == "", f"{what}: body part {text}")
        check(attachment["Content-Transfer-Encoding"] == "base64",
              f"{what}: encoding {attachment['Content-Transfer-Encoding']}")
        check(attachment.get_filename() == bare, f"{what}: file name {attachment.get_filename()!r}")
        check(attachment.get_payload(decode=True) == data, f"{what}: package bytes differ")


def check_refusals(package):
    """A refused recipient and a refused message each say so and exit 1."""
    cases = [
        ("refused recipient", Recorder(refuse_rcpt={"nobody@khf.example"}),
         {"to": "nobody@khf.example"}, ['Recipient "nobody@khf.example" not found'], None),
        ("5xx after the data", Recorder(data_reply="554 5.6.0 Package rejected"), {}, [],
         "Failure"),
    ]
    for what, handler, fields, expected_messages, failure in cases:
        with smtp_server(handler) as port:
            rc, lines = run(package, port, **fields)
        seen = statuses(lines)
        check(rc == 1, f"{what}: exit {rc}")
        check(messages(lines) == expected_messages, f"{what}: messages {messages(lines)}")
        check("ZQW file successfully sent" not in seen, f"{what}: reported as sent")
        check((failure in seen) if failure else "Failure" not in seen, f"{what}: statuses {seen}")
        check(handler.messages == [], f"{what}: the server kept a message")


def check_network_failures(package):
    """Servers that refuse or drop the connection end the command at once,
    without waiting for any timeout; servers that stop talking end it by the
    timeout."""
    cases = [
        # behaviour, expected message (None: any client error), its timeout.
        # The timeout of a server that drops the connection is longer than
        # the hang guard: waiting on it is a hang.
        ("drop", "Connection Failed", LONG_TIMEOUT),
        ("silent", "Connection Failed", str(TIMEOUT)),
        ("drop-data", None, LONG_TIMEOUT),
        ("stall-data", "The mail server did not answer in time", str(TIMEOUT)),
    ]
    for behaviour, expected, timeout in cases:
        with raw_server(behaviour) as port:
            rc, lines = run(package, port, timeout=timeout)
        what = f"{behaviour} server"
        got = messages(lines)
        check(rc == 1, f"{what}: exit {rc}, {lines}")
        if expected:
            check(len(got) == 1 and got[0].startswith(expected), f"{what}: messages {got}")
        else:
            check(len(got) == 1 and got[0] != "Connection Failed", f"{what}: messages {got}")
        check("ZQW file successfully sent" not in statuses(lines), f"{what}: reported as sent")

    # Nothing listening at all.
    rc, lines = run(package, free_port())
    check(rc == 1 and messages(lines) == ["Connection Failed"], f"closed port: {lines}")


def check_unknown_hosts(package):
    """A host that cannot be found asks for another (the command line has
    none to give) and ends with the reason."""
    for host, reason in [("no-such-host.invalid", "no-such-host.invalid"),
                         ("bad host@name", '"bad host@name" is not a valid host name')]:
        rc, lines = run(package, 25, host=host)
        got = messages(lines)
        check(rc == 1 and len(got) == 2 and got[0] == "Invalid Host!" and reason in got[1],
              f"host {host!r}: {rc} {lines}")
        check("Host Resolved" not in statuses(lines), f"host {host!r}: resolved")


def make_certificate(work):
    cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return cert, context


def check_security(work, package):
    """STARTTLS (asked for or merely offered), SMTPS and AUTH against a
    self-signed certificate; wrong passwords and untrusted certificates fail."""
    cert, context = make_certificate(work)
    password_file = private_file(work, "password", PASSWORD + "\n")
    wrong_file = private_file(work, "wrong", "guess\n")

    starttls = dict(tls_context=context, require_starttls=True, authenticator=authenticate,
                    auth_require_tls=True, auth_required=True)
    smtps = dict(ssl_context=context, authenticator=authenticate, auth_require_tls=False,
                 auth_required=True)
    plain_auth = dict(authenticator=authenticate, auth_require_tls=False, auth_required=False)
    login = {"user": "ann", "password_file": password_file, "cafile": cert}
    cases = [
        # what, server options, command options, delivered, message wanted
        ("STARTTLS required", starttls, {**login, "tls": "starttls"}, True, None),
        ("STARTTLS offered", starttls, {**login, "tls": "none"}, True, None),
        ("SMTPS", smtps, {**login, "tls": "ssl"}, True, None),
        ("wrong password", starttls, {**login, "password_file": wrong_file}, False, "535"),
        ("untrusted certificate", starttls, {**login, "cafile": None}, False, "certificate"),
        ("STARTTLS missing", {}, {"tls": "starttls", "cafile": cert}, False, "STARTTLS"),
        # A server (or a network stripping its offer) without STARTTLS that
        # would take a login in clear, and mail without one.
        ("password to a plain server", plain_auth, {**login, "tls": "none"}, False,
         "offers no encryption (STARTTLS), so the password was not sent"),
    ]
    for what, server_options, fields, delivered, wanted in cases:
        handler = Recorder()
        logins_seen.clear()
        with smtp_server(handler, **server_options) as port:
            rc, lines = run(package, port, **fields)
        got = messages(lines)
        check(server_options.get("tls_context") or server_options.get("ssl_context")
              or logins_seen == [], f"{what}: a server without TLS saw a login {logins_seen}")
        if delivered:
            check(rc == 0 and got == [], f"{what}: exit {rc}, {lines}")
            check(len(handler.messages) == 1 and handler.messages[0]["login"] == "ann",
                  f"{what}: delivered {handler.messages}")
        else:
            check(rc == 1 and handler.messages == [] and handler.mails == [],
                  f"{what}: exit {rc}, mails {handler.mails}")
            check(len(got) == 1 and wanted.lower() in got[0].lower(), f"{what}: messages {got}")


def private_file(work, name, text, mode=0o600):
    path = os.path.join(work, name)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)
    return path


def check_password_files(work, package):
    """A password file is read only when it is a small regular file that no
    one else may read; anything else is refused at once, before connecting."""
    fifo = os.path.join(work, "password-pipe")
    os.mkfifo(fifo, 0o600)
    cases = [
        # what, the file, what standard error must say
        ("readable by the group", private_file(work, "group", PASSWORD, 0o640),
         "read or changed by others"),
        ("readable by everyone", private_file(work, "world", PASSWORD, 0o604),
         "read or changed by others"),
        ("a pipe nobody writes to", fifo, "not a regular file"),
        ("a device without end", "/dev/zero", "not a regular file"),
        ("larger than a password", private_file(work, "large", "x" * 10000), "too large"),
    ]
    for what, path, wanted in cases:
        handler = Recorder()
        with smtp_server(handler) as port:
            rc, lines = run(package, port, user="ann", password_file=path)
        check(rc == 2 and lines == [], f"{what}: exit {rc}, {lines}")
        check(wanted in last_stderr and path in last_stderr, f"{what}: said {last_stderr!r}")
        check(handler.helos == [], f"{what}: connected to the server")
    # A private file is read, its first line the password; over plain SMTP
    # without a password, mail still goes.
    handler = Recorder()
    with smtp_server(handler) as port:
        rc, lines = run(package, port)
    check(rc == 0 and len(handler.messages) == 1 and handler.messages[0]["login"] is None,
          f"plain SMTP without a password: exit {rc}, {lines}")


def check_refused_fields(work, package):
    """A missing address, or a line break or other control character in any
    header field, stops the send before the server sees a message."""
    evil_package = os.path.join(work, "evil\r\nBcc: x@example.org.zqw")
    with open(evil_package, "wb") as f:
        f.write(b"PK")
    control = "control character"
    cases = [
        ("no sender address", package, {"from": ""}, HEADER_INCOMPLETE),
        ("no recipient", package, {"to": ""}, HEADER_INCOMPLETE),
        ("CR LF in the name", package, {"name": "Ann\r\nBcc: victim@example.org"}, control),
        ("LF in the sender", package, {"from": SENDER + "\nBcc: victim@example.org"}, control),
        ("CR in the recipient", package, {"to": RECIPIENT + "\rBcc: victim@example.org"}, control),
        ("tab in the name", package, {"name": "Ann\tLee"}, control),
        ("CR LF in the file name", evil_package, {}, control),
        ("space in the recipient", package, {"to": "cards@khf.example victim@example.org"},
         "not a valid e-mail address"),
        ("CR LF in the User ID", package, {"helo": "id\r\nMAIL FROM:<x@example.org>"}, control),
    ]
    for what, path, fields, wanted in cases:
        handler = Recorder()
        with smtp_server(handler) as port:
            rc, lines = run(path, port, **fields)
        got = messages(lines)
        check(rc == 1, f"{what}: exit {rc}")
        check(len(got) == 1 and wanted in got[0], f"{what}: messages {got}")
        check(handler.mails == [] and handler.messages == [], f"{what}: the server saw MAIL")
        check(all("\r" not in h and "\n" not in h for h in handler.helos),
              f"{what}: EHLO names {handler.helos}")


def check_usage(work, package):
    """Bad command lines and unreadable packages exit 2 without connecting."""
    not_a_number = "'%s' is not a valid integer value"
    cases = [
        ("port with letters", package, [], {"port": "2x5"}, [not_a_number % "2x5"]),
        ("empty port", package, [], {"port": ""}, [not_a_number % ""]),
        ("port too large", package, [], {"port": "70000"},
         ["Port 70000 is out of range (1 to 65535)"]),
        ("missing package", os.path.join(work, "missing.zqw"), [], {}, []),
        ("package is a folder", work, [], {}, []),
        ("no recipient option", package, [], {"to": None}, []),
        ("unknown TLS mode", package, [], {"tls": "maybe"}, []),
        ("user without password", package, [], {"user": "ann"}, []),
        ("unreadable password file", package, [], {"user": "ann",
                                                     "password_file": os.path.join(work, "none")}, []),
        ("unknown option", package, ["--cc", "x@example.org"], {}, []),
    ]
    with smtp_server(Recorder()) as port:
        for what, path, extra, fields, expected in cases:
            rc, lines = run(path, port, *extra, **fields)
            check(rc == 2, f"{what}: exit {rc}")
            check(messages(lines) == expected and statuses(lines) == [], f"{what}: lines {lines}")


def main():
    started = time.monotonic()
    with tempfile.TemporaryDirectory() as work:
        package = os.path.join(work, "card.zqw")
        with open(package, "wb") as f:
            f.write(package_bytes(2000))
        check_delivery(work)
        check_refusals(package)
        check_network_failures(package)
        check_unknown_hosts(package)
        check_security(work, package)
        check_password_files(work, package)
        check_refused_fields(work, package)
        check_usage(work, package)
    print(f"{len(failures)} failure(s) in {time.monotonic() - started:.1f} s")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
