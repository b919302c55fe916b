"""A local HTTP server for the WARC tests: HTML pages with links, sent plain, chunked, and
gzip, deflate (wrapped and raw) or br coded, beside pages of other types holding anchors too.
It answers a fixed set of paths on 127.0.0.1 and is stopped by its caller."""
import http.server
import random
import subprocess
import threading
import zlib

CODINGS = ["plain", "chunked", "gzip", "deflate", "rawdeflate", "br", "gzip-chunked",
           "br-chunked", "untyped", "charset", "xhtml"]
# Served with anchors in them, but not HTML: their links must not be listed.
OTHER_TYPES = {"/picture.png": "image/png", "/notes.txt": "text/plain",
               "/data.json": "application/json"}


def make_page(rng, links, filler_words):
    """An HTML page with `links` anchors of every kind the classic rules meet: matching ones
    (in any letter case), https and relative ones, attributes before href, stray "<"."""
    words = ["alpha", "beta", "gamma", "delta", "link", "href", "<b>x</b>", "1 < 2", "a<a"]
    parts = ["<html><head><title>page</title></head><body>\n"]
    for i in range(links):
        host = "h%d.example" % rng.randrange(50)
        path = "/".join("p%d" % rng.randrange(1000) for _ in range(rng.randrange(1, 4)))
        form = rng.randrange(8)
        if form < 4:
            parts.append('<a href="http://%s/%s">l%d</a>\n' % (host, path, i))
        elif form == 4:
            parts.append('<A HREF="HTTP://%s/%s.html">L</A>\n' % (host.upper(), path))
        elif form == 5:
            parts.append('<a href="https://%s/%s">s</a>\n' % (host, path))
        elif form == 6:
            parts.append('<a class="c" href="http://%s/%s">c</a>\n' % (host, path))
        else:
            parts.append('<a href="%s">r</a>\n' % path)
        parts.append(" ".join(rng.choice(words) for _ in range(rng.randrange(filler_words))))
    parts.append("</body></html>\n")
    return "".join(parts).encode()


def chunked(body, rng):
    out = []
    at = 0
    while at < len(body):
        size = rng.randrange(1, 5000)
        out.append(b"%x\r\n" % len(body[at:at + size]))
        out.append(body[at:at + size] + b"\r\n")
        at += size
    out.append(b"0\r\n\r\n")
    return b"".join(out)


class Site:
    """The pages by path: (content type or None, content encoding, chunked, source bytes)."""

    def __init__(self, brotli_encoder, start_value=2107):
        rng = random.Random(start_value)
        self.rng = rng
        self.brotli_encoder = brotli_encoder
        self.pages = {}
        for coding in CODINGS:
            for n in range(3):
                page = make_page(rng, rng.randrange(0, 60), 30)
                self.pages["/%s/%d.html" % (coding, n)] = self.serve_as(coding, page)
        # Bigger than the reader's inflated block (4 MiB): the streaming way.
        big = make_page(rng, 40000, 40)
        self.pages["/big/gzip.html"] = self.serve_as("gzip", big)
        self.pages["/big/plain.html"] = self.serve_as("plain", big)
        for path, content_type in OTHER_TYPES.items():
            self.pages[path] = (content_type, None, False, make_page(rng, 20, 5))

    def serve_as(self, coding, page):
        content_type = {"untyped": None, "xhtml": "application/xhtml+xml",
                        "charset": "text/html; charset=Shift_JIS"}.get(coding, "text/html")
        encoding = coding.split("-")[0]
        if encoding not in ("gzip", "deflate", "rawdeflate", "br"):
            encoding = None
        return (content_type, encoding, coding.endswith("chunked"), page)

    def body(self, path):
        content_type, encoding, is_chunked, page = self.pages[path]
        if encoding == "gzip":
            coder = zlib.compressobj(6, zlib.DEFLATED, 31)
            body = coder.compress(page) + coder.flush()
        elif encoding == "deflate":
            body = zlib.compress(page)
        elif encoding == "rawdeflate":
            coder = zlib.compressobj(6, zlib.DEFLATED, -15)
            body = coder.compress(page) + coder.flush()
        elif encoding == "br":
            body = subprocess.run([self.brotli_encoder], input=page, capture_output=True,
                                  check=True).stdout
        else:
            body = page
        return body

    def is_html(self, path):
        content_type = self.pages[path][0]
        return content_type is None or content_type.split(";")[0] in ("text/html",
                                                                     "application/xhtml+xml")


def serve(site):
    """Starts the server on a free port; returns it (call shutdown() to stop)."""

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            if self.path not in site.pages:
                self.send_error(404)
                return
            content_type, encoding, is_chunked, _ = site.pages[self.path]
            body = site.body(self.path)
            self.send_response(200)
            if content_type is not None:
                self.send_header("Content-Type", content_type)
            if encoding is not None:
                self.send_header("Content-Encoding",
                                 "deflate" if encoding == "rawdeflate" else encoding)
            if is_chunked:
                self.send_header("Transfer-Encoding", "chunked")
                body = chunked(body, site.rng)
            else:
                self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)
            self.close_connection = True

        def log_message(self, *args):
            pass

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    server.timeout = 10
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
