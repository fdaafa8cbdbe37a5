#!/usr/bin/python3
"""Local stand-in for the photo service: settings document, XML-RPC endpoint and FTP server.

Runs on loopback only. Start it with a fresh root folder; it prints one line
"READY http=<port> ftp=<port>" once both servers listen and runs until SIGTERM or SIGINT.
See README.md beside this file for the paths, the accounts file and the fault switches.
"""

import argparse
import datetime
import hashlib
import http.cookies
import http.server
import json
import logging
import os
import select
import secrets
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
import xml.sax.saxutils
import xmlrpc.client

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, PassiveDTP
from pyftpdlib.servers import FTPServer

FAULTS = {
    "refuse-login",        # XML-RPC login answers a fault whatever the password
    "ftp-user-230",        # USER is answered with 230 at once, no PASS asked
    "drop-data",           # the first STOR loses its data connection halfway (then the control one)
    "426-then-226",        # every STOR ends with 426 followed by 226
    "checksum-upper",      # SITE CHECKSUM answers the digest in upper case
    "checksum-wrong",      # SITE CHECKSUM answers a digest that is not the file's
    "refuse-mkd",          # MKD is answered with 550
    "settings-404-first",  # "/common/" answers 404, "/sg/common/" still serves the document
    "broken-plist",        # the settings document is not well-formed XML
    "rpc-http-500",        # the XML-RPC endpoint answers status 500
    "rpc-html-200",        # the XML-RPC endpoint answers an HTML page with status 200
    # Hostile peers: each stall counts in GET /control/stalls once the client is caught in it.
    "silent-settings",     # the settings document request is taken and never answered
    "drip-settings",       # the settings document comes one byte every 200 ms, never whole
    "endless-settings",    # the settings document is an endless body (no length, no end)
    "silent-rpc",          # XML-RPC calls are taken and never answered
    "endless-rpc",         # XML-RPC answers are an endless body
    "silent-ftp-greeting", # FTP connections are taken and never greeted
    "long-ftp-greeting",   # FTP connections are greeted with one line of 100,000 characters
    "silent-stor-reply",   # a STOR gets its data but never its final reply
    "drip-stor-reply",     # a STOR's final reply comes one byte every 200 ms, as an endless multi-line reply
    "stall-stor-data",     # a STOR's data connection stops being read after its first block
    "one-ftp-session",     # an FTP connection beside an open one is greeted with 421 and closed
}

DRIP_SECONDS = 0.2
ENDLESS_LIMIT = 1 << 30  # an endless body still ends after 1 GiB, should a client read that far

FTP_LOGIN = "vantrel_upload"
FTP_PASSWORD = "upload-pass"
CLIENT_KEY = "com.vantrel2.uploader_pc"
COOKIE_NAME = "STANDIN_SID"
SETTINGS_NAME = "uploader_settings.plist"
DEFAULT_ACCOUNTS = [{"email": "demo@vantrel.test", "password": "demo", "member_id": "1001", "albums": []}]


class State:
    """Everything the servers share; guarded by one lock (HTTP runs on threads, FTP on the main loop)."""

    def __init__(self, root, accounts, faults, overrides):
        self.lock = threading.Lock()
        self.root = root
        self.faults = set(faults)
        self.drop_data_armed = "drop-data" in self.faults
        self.overrides = dict(overrides)
        self.http_port = 0
        self.ftp_port = 0
        self.stalls = 0  # how many times a client was caught in a stall
        self.outage_until = 0.0  # time.monotonic() when the network comes back
        self.outage_mode = ""    # "refuse" or "reset" while an outage lasts
        self.outage_cut_pending = False  # open FTP connections still to be reset
        self.cut = 0  # connections refused or reset by outages
        self.outage_armed = None  # (stores to wait for, seconds, mode): an outage begun by a STOR
        self.drop_stor_at = None  # bytes after which the next STOR's connections are cut
        self.stores = []  # every STOR: {"name", "rest", "bytes", "completed"}
        self.commands = []  # every FTP command but PASS: {"session", "line", "at"}, sessions numbered from 1
        self.ftp_sessions = 0  # FTP control connections opened so far
        self.open_ftp_sessions = 0
        self.closing = threading.Event()
        self.accounts = {a["email"].lower(): a for a in accounts}
        self.sessions = {}  # code -> dict(objectid, cookie, expires, member_id)
        self.albums_path = os.path.join(root, "albums.json")
        if os.path.exists(self.albums_path):
            with open(self.albums_path, encoding="utf-8") as f:
                self.albums = json.load(f)
        else:
            self.albums = {"next_id": 5001, "members": {}}
            for a in accounts:
                names = a.get("albums", [])
                self.albums["members"][a["member_id"]] = []
                for name in names:
                    self._add_album(a["member_id"], name)
            self._save_albums()

    def fault(self, name):
        with self.lock:
            return name in self.faults

    def set_fault(self, name, on):
        with self.lock:
            if on:
                self.faults.add(name)
                if name == "drop-data":
                    self.drop_data_armed = True
            else:
                self.faults.discard(name)

    def count_stall(self):
        with self.lock:
            self.stalls += 1

    def start_outage(self, seconds, mode):
        with self.lock:
            self.outage_until = time.monotonic() + seconds
            self.outage_mode = mode
            self.outage_cut_pending = mode == "reset"

    def arm_outage(self, stores, seconds, mode):
        with self.lock:
            self.outage_armed = (stores, seconds, mode)

    def count_store(self):
        """Begins an armed outage when its STOR has come; True then."""
        with self.lock:
            if not self.outage_armed:
                return False
            stores, seconds, mode = self.outage_armed
            self.outage_armed = (stores - 1, seconds, mode) if stores > 1 else None
        if stores <= 1:
            self.start_outage(seconds, mode)
            return True
        return False

    def outage(self):
        """The mode of the outage under way, or "" when the network is there."""
        with self.lock:
            return self.outage_mode if time.monotonic() < self.outage_until else ""

    def count_cut(self):
        with self.lock:
            self.cut += 1

    def take_outage_cut(self):
        """True once per "reset" outage: the open FTP connections are then reset."""
        with self.lock:
            pending = self.outage_cut_pending and time.monotonic() < self.outage_until
            self.outage_cut_pending = False
            return pending

    def take_drop_stor_at(self):
        """The byte count at which the STOR now beginning is cut, once; None for the others."""
        with self.lock:
            at, self.drop_stor_at = self.drop_stor_at, None
            return at

    def take_drop_data(self):
        """True once per activation of drop-data: only the first STOR after it is cut."""
        with self.lock:
            if "drop-data" in self.faults and self.drop_data_armed:
                self.drop_data_armed = False
                return True
            return False

    def _add_album(self, member_id, name):
        album_id = self.albums["next_id"]
        self.albums["next_id"] += 1
        self.albums["members"].setdefault(member_id, []).append({"name": name, "id": album_id})
        return album_id

    def _save_albums(self):
        tmp = self.albums_path + ".tmp"
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(self.albums, f, ensure_ascii=False, indent=1)
        os.replace(tmp, self.albums_path)


# ----------------------------------------------------------------------------------------------
# Settings document


def settings_document(state):
    host = "127.0.0.1"
    base = "http://%s:%d" % (host, state.http_port)
    values = {
        "ftp_host": "%s:%d" % (host, state.ftp_port),
        "ftp_login": FTP_LOGIN,
        "ftp_password": FTP_PASSWORD,
        "script_url": base + "/xmlrpc",
        "picture_minsize": "20",
        "picture_maxsize": "10",
        "size_thumbnail": "160",
        "size_scaled": "1024",
        "rejected_errors": "116,117,118,119,120,121,122,123",
        "passthru_name": "partner",
        "passthru_value": "standin",
        "current_version": "3.2.5",
        "update_url": base + "/download",
        "advert_url": base + "/advert?email=[email]",
        "website_url": base + "/",
        "autologin_url": base + "/account?session=[id_session]",
    }
    with state.lock:
        values.update(state.overrides)
    e = xml.sax.saxutils.escape
    integers = {"picture_minsize", "picture_maxsize", "size_thumbnail", "size_scaled"}
    plain = ["ftp_host", "ftp_login", "ftp_password", "script_url", "picture_minsize", "picture_maxsize",
             "size_thumbnail", "size_scaled", "rejected_errors", "passthru_name", "passthru_value"]
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">',
        '<plist version="1.0">',
        "<dict>",
        "\t<key>com.vantrel2.uploader_mac</key>",
        "\t<dict>",
        "\t\t<key>ftp_host</key>",
        "\t\t<string>mac.invalid</string>",
        "\t</dict>",
        "\t<key>%s</key>" % CLIENT_KEY,
        "\t<dict>",
    ]
    for key in plain:
        tag = "integer" if key in integers else "string"
        lines.append("\t\t<key>%s</key>" % key)
        lines.append("\t\t<%s>%s</%s>" % (tag, e(values[key]), tag))
    lines += [
        "\t\t<key>versions</key>",
        "\t\t<dict>",
        "\t\t\t<key>Default</key>",
        "\t\t\t<dict>",
        "\t\t\t\t<key>current_version</key>",
        "\t\t\t\t<string>%s</string>" % e(values["current_version"]),
        "\t\t\t\t<key>update_url</key>",
        "\t\t\t\t<string>%s</string>" % e(values["update_url"]),
        "\t\t\t</dict>",
        "\t\t</dict>",
        "\t\t<key>specific_url</key>",
        "\t\t<dict>",
        "\t\t\t<key>Default</key>",
        "\t\t\t<dict>",
        "\t\t\t\t<key>advert_url</key>",
        "\t\t\t\t<string>%s</string>" % e(values["advert_url"]),
        "\t\t\t\t<key>website_url</key>",
        "\t\t\t\t<string>%s</string>" % e(values["website_url"]),
        "\t\t\t\t<key>autologin_url</key>",
        "\t\t\t\t<string>%s</string>" % e(values["autologin_url"]),
        "\t\t\t</dict>",
        "\t\t</dict>",
        "\t</dict>",
        "</dict>",
        "</plist>",
        "",
    ]
    return "\n".join(lines).encode("utf-8")


# ----------------------------------------------------------------------------------------------
# XML-RPC


class RpcFault(Exception):
    def __init__(self, code, text):
        super().__init__(text)
        self.code = code
        self.text = text


def _meta(params):
    if len(params) != 2 or not isinstance(params[0], dict) or not isinstance(params[0].get("__meta"), dict):
        raise RpcFault(400, "Bad parameters: a __meta struct and one argument are expected")
    return params[0]["__meta"]


def _session(state, meta, cookie):
    code = meta.get("sessioncode")
    if not isinstance(code, str) or code not in state.sessions:
        raise RpcFault(401, "Unknown session")
    session = state.sessions[code]
    if session["expires"] <= time.time():
        del state.sessions[code]
        raise RpcFault(401, "Session expired")
    if cookie != session["cookie"]:
        raise RpcFault(403, "Session cookie missing or wrong")
    return session


def rpc_dispatch(state, method, params, cookie):
    """Returns (result, cookie to set or None); raises RpcFault."""
    with state.lock:
        if method == "Community.Session.New":
            meta = _meta(params)
            if meta.get("clientid") != 1:
                raise RpcFault(400, "Unknown client")
            args = params[1]
            expiry_text = args.get("expiry") if isinstance(args, dict) else None
            try:
                expiry = datetime.datetime.strptime(expiry_text or "", "%Y-%m-%d %H:%M:%S")
            except ValueError:
                raise RpcFault(400, "Bad expiry date")
            expires = expiry.timestamp()
            if expires <= time.time():
                raise RpcFault(400, "Expiry date in the past")
            code = secrets.token_hex(16)
            objectid = str(100000 + len(state.sessions) + secrets.randbelow(800000))
            token = secrets.token_hex(12)
            state.sessions[code] = {"objectid": objectid, "cookie": token, "expires": expires, "member_id": None}
            return {"objectid": objectid, "code": code}, token
        if method == "Community.Session.Login":
            meta = _meta(params)
            session = _session(state, meta, cookie)
            if meta.get("objectid") != session["objectid"]:
                raise RpcFault(401, "Session object id does not match")
            args = params[1] if isinstance(params[1], dict) else {}
            account = state.accounts.get(str(args.get("email", "")).lower())
            if "refuse-login" in state.faults or account is None or account["password"] != args.get("password"):
                raise RpcFault(10, "Wrong e-mail address or password")
            session["member_id"] = account["member_id"]
            return {"member_id": account["member_id"]}, None
        if method in ("Community.Member.GetAlbumList", "Community.Member.CreateAlbum"):
            meta = _meta(params)
            session = _session(state, meta, cookie)
            if session["member_id"] is None or meta.get("objectid") != session["member_id"]:
                raise RpcFault(401, "Not logged in as this member")
            member = session["member_id"]
            if method == "Community.Member.GetAlbumList":
                if params[1] != member:
                    raise RpcFault(400, "Member id argument does not match")
                return [dict(a) for a in state.albums["members"].get(member, [])], None
            name = params[1].get("name") if isinstance(params[1], dict) else None
            if not isinstance(name, str) or not name:
                raise RpcFault(400, "Album name missing")
            album_id = state._add_album(member, name)
            state._save_albums()
            return {"id": album_id}, None
        raise RpcFault(404, "Unknown method %s" % method)


# ----------------------------------------------------------------------------------------------
# HTTP


class HttpHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VantrelStandin/1.0"
    state = None  # set at start

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("http: " + (fmt % args) + "\n")

    def _send(self, status, body, content_type="text/html; charset=utf-8", headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _error_page(self, status, text):
        body = ("<html><head><title>%d</title></head><body><h1>%d %s</h1></body></html>"
                % (status, status, xml.sax.saxutils.escape(text))).encode("utf-8")
        self._send(status, body)

    def _read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _hold(self):
        """Takes the request and never answers, until the client goes or the stand-in stops."""
        self.state.count_stall()
        self.close_connection = True
        while not self.state.closing.is_set():
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if readable:
                try:
                    if not self.connection.recv(4096):
                        return None
                except OSError:
                    return None
        return None

    def _drip(self):
        """Promises a large body and sends it one byte at a time."""
        self.state.count_stall()
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Content-Length", "1000000")
        self.end_headers()
        try:
            self.wfile.flush()
            for _ in range(1000000):
                if self.state.closing.wait(DRIP_SECONDS):
                    return None
                self.wfile.write(b" ")
                self.wfile.flush()
        except OSError:
            pass
        return None

    def _endless(self, content_type):
        """A body without length that never ends: the client must cut it."""
        self.state.count_stall()
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = b"<value>" + b"x" * 65521 + b"</value>\n"
        sent = 0
        try:
            while sent < ENDLESS_LIMIT and not self.state.closing.is_set():
                self.wfile.write(chunk)
                sent += len(chunk)
        except OSError:
            pass
        return None

    def _cookie(self, name):
        jar = http.cookies.SimpleCookie()
        for header in self.headers.get_all("Cookie") or []:
            try:
                jar.load(header)
            except http.cookies.CookieError:
                pass
        return jar[name].value if name in jar else None

    def do_GET(self):
        state = self.state
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        path = url.path
        if path in ("/common/" + SETTINGS_NAME, "/sg/common/" + SETTINGS_NAME):
            if path.startswith("/common/") and state.fault("settings-404-first"):
                return self._error_page(404, "Not Found")
            if state.fault("silent-settings"):
                return self._hold()
            if state.fault("drip-settings"):
                return self._drip()
            if state.fault("endless-settings"):
                return self._endless("application/xml")
            if state.fault("broken-plist"):
                return self._send(200, b"<?xml version=\"1.0\"?>\n<plist><dict><key>oops</dict>\n",
                                  "application/xml")
            return self._send(200, settings_document(state), "application/xml")
        if path.startswith("/test/"):
            return self._test_path(path, query, b"")
        if path == "/control/stalls":
            with state.lock:
                body = str(state.stalls).encode()
            return self._send(200, body, "text/plain")
        if path == "/control/cut":
            with state.lock:
                body = str(state.cut).encode()
            return self._send(200, body, "text/plain")
        if path == "/control/stores":
            with state.lock:
                body = json.dumps(state.stores).encode()
            return self._send(200, body, "application/json")
        if path == "/control/commands":
            with state.lock:
                body = json.dumps(state.commands).encode()
            return self._send(200, body, "application/json")
        if path == "/control/faults":
            with state.lock:
                body = json.dumps(sorted(state.faults)).encode()
            return self._send(200, body, "application/json")
        if path in ("/", "/advert", "/account", "/download"):
            return self._send(200, b"<html><body><p>Vantrel stand-in service</p></body></html>")
        return self._error_page(404, "Not Found")

    def do_POST(self):
        state = self.state
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        body = self._read_body()
        if url.path == "/xmlrpc":
            return self._xmlrpc(body)
        if url.path.startswith("/test/"):
            return self._test_path(url.path, query, body)
        if url.path == "/control/fault":
            name = (query.get("name") or [""])[0]
            if name not in FAULTS:
                return self._error_page(400, "Unknown fault")
            state.set_fault(name, (query.get("on") or ["1"])[0] not in ("0", "false", "off"))
            return self._send(200, b"OK\n", "text/plain")
        if url.path == "/control/outage":
            mode = (query.get("mode") or ["refuse"])[0]
            try:
                seconds = float((query.get("seconds") or [""])[0])
            except ValueError:
                seconds = -1
            if mode not in ("refuse", "reset") or not 0 < seconds <= 3600:
                return self._error_page(400, "Bad outage")
            try:
                at_store = int((query.get("at-stor") or ["0"])[0])
            except ValueError:
                return self._error_page(400, "Bad outage")
            # Answered before the outage starts, so that the caller learns that it began.
            self._send(200, b"OK\n", "text/plain")
            if at_store > 0:
                state.arm_outage(at_store, seconds, mode)
            else:
                state.start_outage(seconds, mode)
            return None
        if url.path == "/control/drop-stor":
            try:
                at_bytes = int((query.get("bytes") or [""])[0])
            except ValueError:
                at_bytes = -1
            if at_bytes <= 0:
                return self._error_page(400, "Bad drop")
            with state.lock:
                state.drop_stor_at = at_bytes
            return self._send(200, b"OK\n", "text/plain")
        if url.path == "/control/set":
            key = (query.get("key") or [""])[0]
            with state.lock:
                state.overrides[key] = (query.get("value") or [""])[0]
            return self._send(200, b"OK\n", "text/plain")
        if url.path == "/control/expire-sessions":
            with state.lock:
                for session in state.sessions.values():
                    session["expires"] = 0
            return self._send(200, b"OK\n", "text/plain")
        return self._error_page(404, "Not Found")

    def _xmlrpc(self, body):
        state = self.state
        if state.fault("rpc-http-500"):
            return self._error_page(500, "Internal Server Error")
        if state.fault("rpc-html-200"):
            return self._send(200, b"<html><body><p>Maintenance<br></p></body></html>")
        if state.fault("silent-rpc"):
            return self._hold()
        if state.fault("endless-rpc"):
            return self._endless("text/xml")
        headers = []
        try:
            try:
                params, method = xmlrpc.client.loads(body)
            except Exception:
                raise RpcFault(400, "Request is not an XML-RPC call")
            result, set_cookie = rpc_dispatch(state, method, params, self._cookie(COOKIE_NAME))
            if set_cookie:
                headers.append(("Set-Cookie", "%s=%s; Path=/" % (COOKIE_NAME, set_cookie)))
            out = xmlrpc.client.dumps((result,), methodresponse=True, encoding="utf-8")
        except RpcFault as fault:
            out = xmlrpc.client.dumps(xmlrpc.client.Fault(fault.code, fault.text), encoding="utf-8")
        self._send(200, out.encode("utf-8"), "text/xml", headers)

    def _test_path(self, path, query, body):
        """Paths that let tests see the client's side of the exchange."""
        if path.startswith("/test/status/"):
            # "/test/status/404" or "/test/status/404/anything": a base address that fails so.
            status = int(path.split("/")[3])
            extra = [("Location", "http://127.0.0.1:%d/test/empty" % self.state.http_port)] if 300 <= status < 400 else []
            page = b"<html><body>error page %d</body></html>" % status
            return self._send(status, page, headers=extra)
        if path == "/test/empty":
            return self._send(200, b"")
        if path == "/test/echo":
            # The request line, the headers as received and the body, so tests can read them.
            lines = [self.requestline] + ["%s: %s" % (k, v) for k, v in self.headers.items()]
            return self._send(200, ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body, "text/plain")
        if path == "/test/setcookie":
            headers = [("Set-Cookie", "%s=%s; Path=/" % (k, v[0])) for k, v in query.items()]
            return self._send(200, b"cookie set\n", "text/plain", headers)
        if path == "/test/slow":
            # Sends the body in ten pieces over `ms` milliseconds.
            ms = int((query.get("ms") or ["1000"])[0])
            body = b"".join(b"slow piece %d\n" % i for i in range(10))
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.flush()
            for i in range(10):
                time.sleep(ms / 10000.0)
                self.wfile.write(b"slow piece %d\n" % i)
                self.wfile.flush()
            return None
        if path == "/test/cut":
            # Promises more bytes than it sends, then closes: a broken transfer.
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"partial body")
            self.wfile.flush()
            self.close_connection = True
            return None
        return self._error_page(404, "Not Found")


def cut_socket(sock):
    """Closes a socket with a reset instead of an orderly end."""
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    sock.close()


class HttpServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    state = None  # set at start

    def verify_request(self, request, client_address):
        # During an outage every new connection is cut before a byte is read or sent.
        if self.state.outage():
            self.state.count_cut()
            try:
                request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            except OSError:
                pass
            return False
        return True


# ----------------------------------------------------------------------------------------------
# FTP


class StandinDTPHandler(DTPHandler):
    drop_this = False
    drop_at = None  # cut this store once that many bytes arrived
    store_entry = None  # this store's line in State.stores
    data_rate = 0  # bytes per second received on a data connection; 0 for no limit
    _rate_start = None
    _rate_timer = None

    def recv(self, buffer_size):
        chunk = super().recv(buffer_size)
        if self.data_rate and chunk:
            self._pace(len(chunk))
        return chunk

    def _pace(self, count):
        """Pauses reading while the data received runs ahead of the rate, like a slow link."""
        now = time.monotonic()
        if self._rate_start is None:
            self._rate_start, self._rate_bytes = now, 0
        self._rate_bytes += count
        ahead = self._rate_bytes / self.data_rate - (now - self._rate_start)
        if ahead > 0.002 and not self._closed:
            def resume():
                if not self._closed:
                    self.add_channel(events=self.ioloop.READ)
            self.del_channel()
            self._rate_timer = self.ioloop.call_later(ahead, resume, _errback=self.handle_error)

    def close(self):
        if self._rate_timer is not None and not self._rate_timer.cancelled:
            self._rate_timer.cancel()
        self._close_with_faults()

    def handle_read(self):
        super().handle_read()
        if self.receive and self.tot_bytes_received > 0 and self.cmd_channel.state.fault("stall-stor-data"):
            # Stop reading: the client's sends fill the small buffers and then block.
            self.receive = False
            self.cmd_channel.state.count_stall()
            return
        if self.store_entry is not None:
            with self.cmd_channel.state.lock:
                self.store_entry["bytes"] = self.tot_bytes_received
        cut_here = self.drop_at is not None and self.tot_bytes_received >= self.drop_at
        if (self.drop_this and self.tot_bytes_received > 0 or cut_here) and not self._closed:
            # Reset the data connection halfway, then hang up the control connection, so the
            # client sees a broken transfer whatever it was doing.
            try:
                self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            except OSError:
                pass
            self._resp = ("426 Connection dropped; transfer aborted.", logging.info)
            channel = self.cmd_channel
            self.close()
            channel.close_when_done()

    handle_read_event = handle_read

    def _close_with_faults(self):
        state = self.cmd_channel.state
        if self.store_entry is not None and not self._closed:
            with state.lock:
                self.store_entry["completed"] = bool(self.transfer_finished) and not self.drop_this
        if (not self._closed and self.receive and not self.drop_this
                and state.fault("426-then-226")
                and self._resp and self._resp[0].startswith("226")):
            self._resp = ("426 Data connection trouble.\r\n226 Transfer complete.", self._resp[1])
        if not self._closed and self._resp and self._resp[0].startswith("226"):
            if state.fault("silent-stor-reply"):
                self._resp = ()
                state.count_stall()
            elif state.fault("drip-stor-reply"):
                self._resp = ()
                state.count_stall()
                self.cmd_channel.drip("226-still working\r\n")
        super().close()


class StandinFTPHandler(FTPHandler):
    state = None  # set at start
    dtp_handler = StandinDTPHandler
    banner = "Vantrel stand-in FTP server ready."
    proto_cmds = dict(FTPHandler.proto_cmds)
    proto_cmds["SITE CHECKSUM"] = dict(perm=None, auth=True, arg=True,
                                       help="Syntax: SITE CHECKSUM <SP> file-name (MD5 of a stored file).")

    session = 0  # this connection's number in State.commands
    counted = False

    def handle(self):
        with self.state.lock:
            if "one-ftp-session" in self.state.faults and self.state.open_ftp_sessions > 0:
                refused = True
            else:
                refused = False
                self.state.ftp_sessions += 1
                self.state.open_ftp_sessions += 1
                self.session = self.state.ftp_sessions
                self.counted = True
        if refused:
            self.push("421 Too many connections.\r\n")
            self.close_when_done()
            return
        if self.state.fault("silent-ftp-greeting"):
            self.on_connect()
            self.state.count_stall()
            return
        if self.state.fault("long-ftp-greeting"):
            self.on_connect()
            self.push("220 " + "x" * 100000 + "\r\n")
            return
        super().handle()

    def on_disconnect(self):
        with self.state.lock:
            if self.counted:
                self.state.open_ftp_sessions -= 1
                self.counted = False

    def pre_process_command(self, line, cmd, arg):
        if cmd != "PASS":
            with self.state.lock:
                self.state.commands.append({"session": self.session, "line": line, "at": time.monotonic()})
        return super().pre_process_command(line, cmd, arg)

    def drip(self, text, at=0):
        """Sends `text` one byte at a time, over and over, until the connection closes."""
        if self._closed or self._closing:
            return
        self.push(text[at])
        self.ioloop.call_later(DRIP_SECONDS, self.drip, text, (at + 1) % len(text))

    def ftp_USER(self, line):
        if self.state.fault("ftp-user-230") and not self.authenticated and line == FTP_LOGIN:
            self.username = line
            return self.ftp_PASS(FTP_PASSWORD)
        return super().ftp_USER(line)

    def ftp_MKD(self, path):
        if self.state.fault("refuse-mkd"):
            self.respond("550 Cannot create directory.")
            return None
        return super().ftp_MKD(path)

    def ftp_STOR(self, file, mode="w"):
        self._drop_next = self.state.take_drop_data()
        self._drop_at = self.state.take_drop_stor_at()
        self._store_entry = {"name": os.path.relpath(file, os.path.join(self.state.root, "ftp")),
                             "rest": self._restart_position, "bytes": 0, "completed": False}
        with self.state.lock:
            self.state.stores.append(self._store_entry)
        if self.data_channel is not None:
            # The data connection came before the command: it learns about this store now.
            _arm_dtp(self.data_channel, self)
        if self.state.count_store():
            # The network goes now: this store is cut with the rest (or refused, whatever comes next).
            self.server.cut_open_connections()
            if self._closed:
                return None
        return super().ftp_STOR(file, mode)

    def on_file_received(self, file):
        pass

    def ftp_SITE_CHECKSUM(self, line):
        name = line.strip()
        path = self.fs.ftp2fs(name)
        if not self.fs.validpath(path) or not os.path.isfile(path):
            self.respond("550 No such file.")
            return
        digest = hashlib.md5()
        with open(path, "rb") as f:
            for block in iter(lambda: f.read(1 << 16), b""):
                digest.update(block)
        text = digest.hexdigest()
        if self.state.fault("checksum-upper"):
            text = text.upper()
        elif self.state.fault("checksum-wrong"):
            text = hashlib.md5(text.encode()).hexdigest()
        self.respond("200 %s %s" % (text, name))


class OutageFTPServer(FTPServer):
    """Cuts new control connections during an outage, and in a "reset" one the open ones too."""

    state = None  # set at start

    def handle_accepted(self, sock, addr):
        if self.state.outage():
            self.state.count_cut()
            cut_socket(sock)
            return None
        return super().handle_accepted(sock, addr)

    def cut_open_connections(self):
        if not self.state.take_outage_cut():
            return
        for channel in list(self.ioloop.socket_map.values()):
            if channel is self or getattr(channel, "_closed", False):
                continue
            self.state.count_cut()
            try:
                channel.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            except (OSError, AttributeError):
                pass
            try:
                channel.close()
            except Exception:  # a channel half torn down already
                pass


class SmallBufferPassiveDTP(PassiveDTP):
    """Data connections with small receive buffers, so that a stalled reader blocks the client soon."""

    def __init__(self, cmd_channel, extmode=False):
        super().__init__(cmd_channel, extmode)
        if cmd_channel.state.fault("stall-stor-data"):
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)


# The data channel learns from its control channel whether this STOR is the one to cut.
_orig_dtp_init = StandinDTPHandler.__init__


def _arm_dtp(dtp, cmd_channel):
    dtp.drop_this = getattr(cmd_channel, "_drop_next", False)
    cmd_channel._drop_next = False
    dtp.drop_at = getattr(cmd_channel, "_drop_at", None)
    cmd_channel._drop_at = None
    dtp.store_entry = getattr(cmd_channel, "_store_entry", None)
    cmd_channel._store_entry = None


def _dtp_init(self, sock, cmd_channel):
    _orig_dtp_init(self, sock, cmd_channel)
    _arm_dtp(self, cmd_channel)


StandinDTPHandler.__init__ = _dtp_init


# ----------------------------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description="Local stand-in for the photo service")
    parser.add_argument("--root", required=True, help="folder for the FTP files and the album store")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--http-port", type=int, default=0)
    parser.add_argument("--ftp-port", type=int, default=0)
    parser.add_argument("--accounts", help="JSON list of {email, password, member_id, albums}")
    parser.add_argument("--fault", action="append", default=[], choices=sorted(FAULTS))
    parser.add_argument("--set", action="append", default=[], metavar="KEY=VALUE",
                        help="override a value of the settings document")
    parser.add_argument("--data-rate", type=float, default=0, metavar="MB_PER_S",
                        help="receive FTP data at most this fast (megabytes per second), as over a slow link")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    StandinDTPHandler.data_rate = args.data_rate * 1e6

    if args.host not in ("127.0.0.1", "localhost", "::1"):
        parser.error("the stand-in only listens on loopback")
    root = os.path.abspath(args.root)
    os.makedirs(os.path.join(root, "ftp"), exist_ok=True)
    accounts = DEFAULT_ACCOUNTS
    if args.accounts:
        with open(args.accounts, encoding="utf-8") as f:
            accounts = json.load(f)
    overrides = dict(item.split("=", 1) for item in args.set if "=" in item)
    state = State(root, accounts, args.fault, overrides)

    logging.basicConfig(level=logging.DEBUG if args.verbose else logging.WARNING, stream=sys.stderr)
    logging.getLogger("pyftpdlib").setLevel(logging.DEBUG if args.verbose else logging.WARNING)

    HttpHandler.state = state
    HttpServer.state = state
    httpd = HttpServer((args.host, args.http_port), HttpHandler)
    httpd.verbose = args.verbose
    state.http_port = httpd.server_address[1]

    authorizer = DummyAuthorizer()
    authorizer.add_user(FTP_LOGIN, FTP_PASSWORD, os.path.join(root, "ftp"), perm="elradfmwMT")
    StandinFTPHandler.state = state
    StandinFTPHandler.authorizer = authorizer
    StandinFTPHandler.permit_foreign_addresses = False
    StandinFTPHandler.passive_dtp = SmallBufferPassiveDTP
    OutageFTPServer.state = state
    ftpd = OutageFTPServer((args.host, args.ftp_port), StandinFTPHandler)
    state.ftp_port = ftpd.address[1]
    ftpd.ioloop.call_every(0.05, ftpd.cut_open_connections)

    def stop(signum, frame):
        state.closing.set()
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    threading.Thread(target=httpd.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
    sys.stdout.write("READY http=%d ftp=%d\n" % (state.http_port, state.ftp_port))
    sys.stdout.flush()
    try:
        ftpd.serve_forever(timeout=0.2, handle_exit=False)
    except (SystemExit, KeyboardInterrupt):
        pass
    finally:
        ftpd.close_all()
        httpd.shutdown()
        httpd.server_close()


if __name__ == "__main__":
    main()
