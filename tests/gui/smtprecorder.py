"""A mail server on loopback for the e-mail window's tests.

usage: smtprecorder.py FOLDER

Prints the port it listens on, then serves until its standard input closes.
Each message it accepts becomes FOLDER/N.json: the HELO name, the envelope,
the subject and the attachment (its file name and base64 content). It
refuses recipients whose address starts with "nobody@", and never answers
the data sent to recipients starting with "slow@". It offers AUTH without
STARTTLS, as a careless server does, and accepts any login; each login it is
given becomes FOLDER/login-N.json, password included. A client that hangs up
while its "slow@" message waits for the answer leaves FOLDER/hangup-N.json.
"""
import asyncio
import base64
import email
import email.policy
import json
import logging
import os
import socket
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

folder = sys.argv[1]
logging.getLogger("mail.log").setLevel(logging.CRITICAL)


def free_port():
    # aiosmtpd cannot listen on port 0 itself.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Recorder:
    def __init__(self):
        self.count = 0
        self.hangups = 0

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        return responses

    async def handle_RCPT(self, server, session, envelope, address, options):
        if address.startswith("nobody@"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if any(address.startswith("slow@") for address in envelope.rcpt_tos):
            try:
                await asyncio.sleep(3600)
            except asyncio.CancelledError:
                # The server cancels the conversation when the client goes.
                self.hangups += 1
                with open(os.path.join(folder, "hangup-%d.json" % self.hangups), "w") as out:
                    json.dump({"to": envelope.rcpt_tos}, out)
                raise
            return "451 Too late"
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        attachments = list(message.iter_attachments())
        record = {
            "helo": session.host_name,
            "from": envelope.mail_from,
            "to": envelope.rcpt_tos,
            "subject": str(message["Subject"]),
            "sender": str(message["From"]),
            "attachments": [
                {"name": part.get_filename(),
                 "content": base64.b64encode(part.get_payload(decode=True)).decode()}
                for part in attachments
            ],
        }
        self.count += 1
        path = os.path.join(folder, "%d.json" % self.count)
        with open(path + ".part", "w") as out:
            json.dump(record, out)
        os.rename(path + ".part", path)
        return "250 OK"


logins = 0


def authenticate(server, session, envelope, mechanism, auth_data):
    global logins
    logins += 1
    with open(os.path.join(folder, "login-%d.json" % logins), "w") as out:
        json.dump({"mechanism": mechanism, "data": repr(auth_data)}, out)
    return AuthResult(success=True)


port = free_port()
# Mail goes with a login or without one.
controller = Controller(Recorder(), hostname="127.0.0.1", port=port, authenticator=authenticate,
                        auth_require_tls=False, auth_required=False)
controller.start()
print(port, flush=True)
sys.stdin.read()
controller.stop()
