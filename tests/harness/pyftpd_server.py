#!/usr/bin/python3
"""pyftpdlib FTP server for Brisklane's integration tests, run with Debian's /usr/bin/python3.

Prints "READY <port>" (flushed) once the control socket listens. Stop it with SIGTERM.
"""
import argparse
import io
import logging
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class TestFS(AbstractedFS):
    """pyftpdlib's file system with a canned LIST and a RETR that breaks."""
    canned = None           # bytes returned verbatim for every LIST
    fail_after = None       # RETR sends at most this many bytes, then the transfer aborts (426)

    def open(self, filename, mode):
        f = super().open(filename, mode)
        if self.fail_after is None or "r" not in mode:
            return f
        limit = self.fail_after

        class Dying(io.RawIOBase):
            sent = 0
            name = f.name
            closed = property(lambda s: f.closed)

            def read(self, n=-1):
                if self.sent >= limit:
                    if not f.read(1):     # the file ended exactly here: a normal end
                        return b""
                    raise RuntimeError("injected failure")  # pyftpdlib answers 426
                chunk = f.read(min(n if n and n > 0 else limit, limit - self.sent))
                self.sent += len(chunk)
                return chunk

            def seek(self, *a):
                return f.seek(*a)

            def tell(self):
                return f.tell()

            def close(self):
                f.close()
        return Dying()

    def format_list(self, basedir, listing, ignore_err=True):
        if self.canned is not None:
            yield self.canned
        else:
            yield from super().format_list(basedir, listing, ignore_err)


class TestHandler(FTPHandler):
    use_sendfile = False          # the broken RETR must see every read
    hide_extended = False         # FEAT names neither EPRT nor EPSV, which still work

    def ftp_FEAT(self, line):
        if not self.hide_extended:
            return super().ftp_FEAT(line)
        self.proto_cmds = {k: v for k, v in type(self).proto_cmds.items() if k not in ("EPRT", "EPSV")}
        try:
            super().ftp_FEAT(line)
        finally:
            del self.proto_cmds


def parse_args():
    ap = argparse.ArgumentParser()
    ap.add_argument("--host", default="127.0.0.1")
    ap.add_argument("--root", required=True)
    ap.add_argument("--canned-list", default=None)
    ap.add_argument("--fail-retr-after", type=int, default=None)
    ap.add_argument("--user", action="append", default=[], help="NAME:PASS:PERMS, e.g. elradfmwMT or elr")
    ap.add_argument("--rights-in", action="append", default=[], help="NAME:DIR:PERMS, DIR below --root")
    ap.add_argument("--hide-extended", action="store_true")
    ap.add_argument("--log", default=None)
    ap.add_argument("--tls-cert", default=None, help="explicit TLS, required on both connections")
    ap.add_argument("--tls-key", default=None)
    return ap.parse_args()


def make_handler(a):
    auth = DummyAuthorizer()
    for entry in a.user:
        name, pw, perms = entry.split(":")
        auth.add_user(name, pw, a.root, perm=perms)
    for entry in a.rights_in:
        name, directory, perms = entry.split(":")
        path = os.path.join(a.root, directory)
        os.makedirs(path, exist_ok=True)   # the rights are given to a directory that exists
        auth.override_perm(name, path, perms, recursive=True)
    TestFS.fail_after = a.fail_retr_after
    if a.canned_list:
        with open(a.canned_list, "rb") as f:
            TestFS.canned = f.read()
    h = TestHandler
    if a.tls_cert:
        from pyftpdlib.handlers import TLS_FTPHandler  # needs python3-openssl
        h = type("TestTlsHandler", (TestHandler, TLS_FTPHandler), {})
        h.certfile, h.keyfile = a.tls_cert, a.tls_key
        h.tls_control_required = h.tls_data_required = True
    h.authorizer = auth
    h.abstracted_fs = TestFS
    h.banner = "Brisklane test server (pyftpdlib) ready."
    h.permit_foreign_addresses = False      # PORT must name the control connection's peer
    h.auth_failed_timeout = 0
    h.hide_extended = a.hide_extended
    return h


def main():
    a = parse_args()
    logging.basicConfig(filename=a.log, level=logging.INFO if a.log else logging.WARNING)
    server = FTPServer((a.host, 0), make_handler(a))
    server.max_cons = 64
    print("READY", server.socket.getsockname()[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()


if __name__ == "__main__":
    main()
