#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Test pages on 127.0.0.1 for the Windows programs' tests under Wine.
"""loopback_pages.py PORT_FILE

Serves on 127.0.0.1, at a free port that it writes to PORT_FILE:
  /page?text=T&delay=MS  an HTML page in UTF-8 whose body is the text T, after MS ms
  /silent                nothing: the request is never answered
"""

import html
import http.server
import os
import sys
import time
import urllib.parse


class Pages(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path == "/silent":
            time.sleep(600)
            return
        if url.path != "/page":
            self.send_error(404)
            return
        time.sleep(int(query.get("delay", ["0"])[0]) / 1000)
        text = html.escape(query.get("text", [""])[0])
        body = ('<!DOCTYPE html><html><head><meta charset="utf-8"><title>page</title></head>'
                f"<body>{text}</body></html>").encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages)
    server.daemon_threads = True
    with open(sys.argv[1] + ".part", "w", encoding="utf-8") as port:
        port.write(str(server.server_address[1]))
    # Renamed when whole, so that a reader never sees half a number.
    os.replace(sys.argv[1] + ".part", sys.argv[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
