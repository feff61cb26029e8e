"""Loopback SMTP server for the mail tests, and a reader of what it received.

serve FOLDER [--tls starttls|implicit --cert PEM --key PEM] [--auth USER:PASSWORD]
    Saves every accepted message as FOLDER/<n>.eml with its envelope in
    FOLDER/<n>.json; prints "ready <port>" once listening and stops when its
    standard input closes. Recipients at refused.example are refused.
parse FILE
    Prints the headers, the text and the attachments (base64) of a message
    as JSON, decoded by Python's own mail parser.
"""

import argparse
import base64
import email
import email.policy
import json
import logging
import socket
import ssl
import sys
import warnings
from pathlib import Path

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Saver:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.endswith("@refused.example"):
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = self.folder / str(self.count)
        base.with_suffix(".eml").write_bytes(envelope.original_content)
        envelope_info = {"from": envelope.mail_from, "to": envelope.rcpt_tos,
                         "authenticated": bool(session.authenticated)}
        base.with_suffix(".json").write_text(json.dumps(envelope_info))
        return "250 OK"


def authenticator_for(credentials):
    user, password = credentials.encode().split(b":", 1)

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == user and auth_data.password == password)
        return AuthResult(success=ok, handled=False)
    return authenticate


def serve(args):
    # Refused handshakes are what the tests provoke: no tracebacks for them.
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    warnings.simplefilter("ignore")
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    context = None
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    options = {}
    if args.auth:
        options.update(authenticator=authenticator_for(args.auth), auth_required=True,
                       auth_require_tls=args.tls != "implicit")
    if args.tls == "starttls":
        options.update(tls_context=context, require_starttls=True)
    controller = Controller(Saver(args.folder), hostname="127.0.0.1", port=port,
                            ssl_context=context if args.tls == "implicit" else None, **options)
    controller.start()
    print("ready", port, flush=True)
    sys.stdin.read()
    controller.stop()


def parse(args):
    message = email.message_from_bytes(Path(args.file).read_bytes(), policy=email.policy.default)
    result = {key: str(message.get(key, "")) for key in ("From", "To", "Cc", "Subject")}
    result["type"] = message.get_content_type()
    result["text"] = None
    result["attachments"] = []
    for part in message.walk():
        if part.is_multipart():
            continue
        if part.get_content_disposition() == "attachment":
            result["attachments"].append({
                "name": part.get_filename(), "type": part.get_content_type(),
                "data": base64.b64encode(part.get_payload(decode=True)).decode()})
        elif part.get_content_type() == "text/plain" and result["text"] is None:
            result["text"] = part.get_content()
    print(json.dumps(result))


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    server = commands.add_parser("serve")
    server.add_argument("folder")
    server.add_argument("--tls", choices=("starttls", "implicit"))
    server.add_argument("--cert")
    server.add_argument("--key")
    server.add_argument("--auth")
    reader = commands.add_parser("parse")
    reader.add_argument("file")
    args = parser.parse_args()
    serve(args) if args.command == "serve" else parse(args)


if __name__ == "__main__":
    main()
