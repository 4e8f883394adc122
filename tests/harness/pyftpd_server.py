#!/usr/bin/python3
"""pyftpdlib FTP server for Brisklane's integration tests.

Run with Debian's interpreter (/usr/bin/python3 with python3-pyftpdlib):

  pyftpd_server.py --root DIR [--port 0] [--pasv LO-HI]
         [--style unix|windows|windows4|vms|mac] [--canned-list FILE]
         [--fail-retr-after N] [--user NAME:PASS:PERMS[:SUBDIR]]... [--anon]
         [--auth-delay SECONDS] [--log FILE] [--tls-cert FILE --tls-key FILE]

Prints "READY <port>" (flushed) once the control socket listens. Stop it with SIGTERM.
"""
import argparse
import io
import logging
import math
import os
import re
import stat
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

MONTHS = "JAN FEB MAR APR MAY JUN JUL AUG SEP OCT NOV DEC".split()

SYST = {"unix": "215 UNIX Type: L8", "windows": "215 Windows_NT",
        "windows4": "215 Windows_NT", "vms": "215 VMS system type.",
        "mac": "215 MACOS Peter's Server"}


class _St:
    """os.stat_result plus the entry's path (the Mac style counts a folder's items)."""
    def __init__(self, st, path):
        self._st, self.path = st, path

    def __getattr__(self, k):
        return getattr(self._st, k)


class StyledFS(AbstractedFS):
    """pyftpdlib's file system with other LIST layouts, a canned LIST and a RETR that breaks."""
    style = "unix"
    canned = None           # bytes returned verbatim for every LIST
    fail_after = None       # RETR sends at most this many bytes, then the transfer aborts (426)

    def ftp2fs(self, ftppath):
        fs = super().ftp2fs(ftppath)
        if self.style != "vms":
            return fs
        # VMS names are case-insensitive and carry ";version"; directories appear as NAME.DIR;1.
        rel = os.path.relpath(fs, self.root)
        if rel == ".":
            return fs
        cur = self.root
        for part in rel.split(os.sep):
            part = re.sub(r";\d+$", "", part)
            if part.upper().endswith(".DIR"):
                part = part[:-4]
            try:
                match = [n for n in os.listdir(cur) if n.upper() == part.upper()]
            except OSError:
                match = []
            cur = os.path.join(cur, match[0] if match else part)
        return cur

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
            return
        if self.style == "unix":
            yield from super().format_list(basedir, listing, ignore_err)
            return
        entries = []
        for name in listing:
            path = os.path.join(basedir, name)
            try:
                entries.append((name, _St(self.lstat(path), path)))
            except OSError:
                if not ignore_err:
                    raise
        fmt = getattr(self, "_fmt_" + self.style.rstrip("4"))
        if self.style == "vms":
            yield b"\r\nDirectory DISK$USER:[BRISK]\r\n\r\n"
        for name, st in entries:
            yield (fmt(name, st) + "\r\n").encode("utf8")
        if self.style == "vms":
            blocks = sum(math.ceil(st.st_size / 512) for _, st in entries)
            yield ("\r\nTotal of %d files, %d/%d blocks.\r\n"
                   % (len(entries), blocks, blocks)).encode()

    def _fmt_windows(self, name, st):
        """IIS MS-DOS style: 12-06-26  07:28AM       <DIR>          name"""
        t = time.gmtime(st.st_mtime)
        date = time.strftime("%m-%d-%Y" if self.style == "windows4" else "%m-%d-%y", t)
        hm = time.strftime("%I:%M%p", t)
        if stat.S_ISDIR(st.st_mode):
            return "%s  %s       <DIR>          %s" % (date, hm, name)
        return "%s  %s %20d %s" % (date, hm, st.st_size, name)

    def _fmt_vms(self, name, st):
        """NAME.EXT;1  blocks/alloc  D-MON-YYYY HH:MM:SS [GRP,OWN] (prot)"""
        t = time.gmtime(st.st_mtime)
        isdir = stat.S_ISDIR(st.st_mode)
        vname = name.upper() + (".DIR;1" if isdir else ";1")
        used = max(1, math.ceil(st.st_size / 512))
        date = "%d-%s-%d %02d:%02d:%02d" % (t.tm_mday, MONTHS[t.tm_mon - 1],
                                            t.tm_year, t.tm_hour, t.tm_min, t.tm_sec)
        prot = "(RWE,RWE,RE,RE)" if isdir else "(RWED,RWED,RE,)"
        blocks = "%d/%d" % (used, used)
        if len(vname) > 18:   # long names wrap: the details go on the next line
            return "%s\r\n%18s %9s %20s  [BRISK,USER]  %s" % (vname, "", blocks, date, prot)
        return "%-18s %9s %20s  [BRISK,USER]  %s" % (vname, blocks, date, prot)

    def _fmt_mac(self, name, st):
        """NetPresenz-like: files show data and resource fork sizes, folders 'folder'."""
        t = time.gmtime(st.st_mtime)
        when = "%s %2d %02d:%02d" % (time.strftime("%b", t), t.tm_mday, t.tm_hour, t.tm_min)
        if time.time() - st.st_mtime > 180 * 86400:
            when = "%s %2d  %d" % (time.strftime("%b", t), t.tm_mday, t.tm_year)
        if stat.S_ISDIR(st.st_mode):
            try:
                items = len(os.listdir(st.path))
            except OSError:
                items = 0
            return "drwxrwxr-x               folder %8d %s %s" % (items, when, name)
        return "-------r-- %10d %10d %8d %s %s" % (0, st.st_size, st.st_size, when, name)


class StyledHandler(FTPHandler):
    syst_reply = SYST["unix"]
    use_sendfile = False          # the broken RETR must see every read
    hide_extended = False         # FEAT names neither EPRT nor EPSV, which still work

    def ftp_SYST(self, line):
        self.respond(self.syst_reply)

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
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--root", required=True)
    ap.add_argument("--pasv", default=None, help="passive port range LO-HI")
    ap.add_argument("--style", default="unix", choices=sorted(SYST))
    ap.add_argument("--canned-list", default=None)
    ap.add_argument("--fail-retr-after", type=int, default=None)
    ap.add_argument("--user", action="append", default=[],
                    help="NAME:PASS:PERMS[:SUBDIR], perms e.g. elradfmwMT (all) or elr (read)")
    ap.add_argument("--anon", action="store_true", help="user anonymous, read-only, at --root")
    ap.add_argument("--hide-extended", action="store_true", help="FEAT without EPRT and EPSV")
    ap.add_argument("--auth-delay", type=float, default=0.0,
                    help="seconds before answering a failed login")
    ap.add_argument("--log", default=None)
    ap.add_argument("--tls-cert", default=None, help="explicit TLS, required on both connections")
    ap.add_argument("--tls-key", default=None)
    return ap.parse_args()


def make_handler(a):
    auth = DummyAuthorizer()
    for entry in a.user:
        name, pw, perms, *sub = entry.split(":")
        auth.add_user(name, pw, os.path.join(a.root, *sub), perm=perms)
    if a.anon:
        auth.add_anonymous(a.root)
    StyledFS.style = a.style
    StyledFS.fail_after = a.fail_retr_after
    if a.canned_list:
        with open(a.canned_list, "rb") as f:
            StyledFS.canned = f.read()
    h = StyledHandler
    if a.tls_cert:
        from pyftpdlib.handlers import TLS_FTPHandler  # needs python3-openssl
        h = type("StyledTlsHandler", (StyledHandler, TLS_FTPHandler), {})
        h.certfile, h.keyfile = a.tls_cert, a.tls_key
        h.tls_control_required = h.tls_data_required = True
    h.authorizer = auth
    h.abstracted_fs = StyledFS
    h.syst_reply = SYST[a.style]
    h.banner = "Brisklane test server (pyftpdlib) ready."
    h.permit_foreign_addresses = False      # PORT must name the control connection's peer
    h.auth_failed_timeout = a.auth_delay
    h.hide_extended = a.hide_extended
    if a.pasv:
        lo, hi = map(int, a.pasv.split("-"))
        h.passive_ports = range(lo, hi + 1)
    return h


def main():
    a = parse_args()
    logging.basicConfig(filename=a.log, level=logging.INFO if a.log else logging.WARNING)
    server = FTPServer((a.host, a.port), make_handler(a))
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
