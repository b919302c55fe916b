"""quillon --list --warc over archives that wget wrote from a local server: every HTML page's
links are those of the same page read as a file, whichever way the archive is stored; damaged
copies (cut, bytes flipped) keep every link of their intact records and end with status 1."""
import argparse
import gzip
import os
import random
import subprocess
import sys
import tempfile
import urllib.parse
import zlib

import page_server


def run_quillon(quillon, *arguments, data=None):
    result = subprocess.run([quillon, "--list", *arguments], input=data, capture_output=True,
                            timeout=300)
    return result.returncode, result.stdout.splitlines(keepends=True), result.stderr


def make_archive(folder, site):
    server = page_server.serve(site)
    try:
        port = server.server_address[1]
        with open(os.path.join(folder, "urls.txt"), "w") as urls:
            for path in site.pages:
                urls.write("http://127.0.0.1:%d%s\n" % (port, path))
        subprocess.run(["wget", "--warc-file=" + os.path.join(folder, "site"), "-i",
                        os.path.join(folder, "urls.txt"), "-O", "/dev/null", "--tries=1",
                        "--timeout=10", "--no-proxy", "-q"], timeout=120, check=True)
    finally:
        server.shutdown()
    with open(os.path.join(folder, "site.warc.gz"), "rb") as archive:
        return archive.read()


def members(data):
    """(start, end, inflated bytes) of each gzip member."""
    found = []
    at = 0
    while at < len(data):
        inflater = zlib.decompressobj(31)
        inflated = inflater.decompress(data[at:])
        end = len(data) - len(inflater.unused_data)
        found.append((at, end, inflated))
        at = end
    return found


def header_field(record, name):
    for line in record.split(b"\r\n\r\n")[0].split(b"\r\n"):
        key, _, value = line.partition(b":")
        if key.strip().lower() == name.lower():
            return value.strip()
    return b""


def page_links(quillon, folder, site):
    """The links of every HTML page as a file, by path."""
    names = {}
    for i, path in enumerate(site.pages):
        if site.is_html(path):
            names[path] = os.path.join(folder, "page%d.html" % i)
            with open(names[path], "wb") as page:
                page.write(site.pages[path][3])
    status, lines, errors = run_quillon(quillon, *names.values())
    assert status == 0, errors
    links = {path: [] for path in names}
    by_name = {name.encode(): path for path, name in names.items()}
    for line in lines:
        name, _, link = line.partition(b"\t")
        links[by_name[name]].append(link)
    return links


def record_lines(records, site, links):
    """The lines each record must give: its page's links after its target URI."""
    expected = []
    for record in records:
        lines = []
        uri = header_field(record, b"WARC-Target-URI").strip(b"<>")
        path = urllib.parse.urlsplit(uri.decode()).path
        if header_field(record, b"WARC-Type") == b"response" and path in links:
            lines = [uri + b"\t" + link for link in links[path]]
        expected.append(lines)
    return expected


def add_charset_pages(site):
    """Shift_JIS pages whose encoding only the HTTP Content-Type names; the last one's label
    names no encoding and is ignored."""
    page = "".join('<a href="/日本語/%d?q=検索">x</a>\n' % i for i in range(20)).encode("shift_jis")
    for path, charset, coding in [("/sjis/0.html", "shift_jis", None),
                                  ("/sjis/1.html", '"Shift_JIS"', "gzip"),
                                  ("/sjis/2.html", "x-no-such", None)]:
        site.pages[path] = ("text/html; charset=" + charset, coding, False, page)


def check_html(checks, quillon, folder, site, records, forms):
    """--warc --html gives each page what --html --base=URI [--charset=HTTP's] gives it as a
    file; a relative target URI is reported at its record's offset, no other record touched."""
    whole = []
    for record in records:
        uri = header_field(record, b"WARC-Target-URI").strip(b"<>").decode()
        path = urllib.parse.urlsplit(uri).path
        if header_field(record, b"WARC-Type") == b"response" and site.is_html(path):
            charset = (site.pages[path][0] or "").partition("charset=")[2].strip('"')
            known = ["--charset=" + charset] if charset not in ("", "x-no-such") else []
            with open(os.path.join(folder, "page.html"), "wb") as page:
                page.write(site.pages[path][3])
            _, lines, _ = run_quillon(quillon, "--html", "--base=" + uri, *known, page.name)
            whole += [uri.encode() + b"\t" + line.partition(b"\t")[2] for line in lines]
    checks.expect(any(b"/%E6%97%A5" in line for line in whole), "no Shift_JIS link decoded")
    body = b"HTTP/1.1 200 OK\r\n\r\n<a href=/x>x</a>"
    with open(os.path.join(folder, "relative.warc"), "wb") as archive:
        archive.write(records[0] + b"WARC/1.0\r\nWARC-Type: response\r\nWARC-Target-URI: a\r\n"
                      b"Content-Type: application/http\r\nContent-Length: %d\r\n\r\n%s\r\n\r\n"
                      % (len(body), body) + b"".join(records[1:]))
    for name in [*forms, "relative.warc"]:
        status, lines, errors = run_quillon(quillon, "--warc", "--html", os.path.join(folder, name))
        bad = name == "relative.warc"
        checks.expect(status == bad and lines == whole and (b"offset %d: " % len(records[0]) in
                                                            errors) == bad,
                      "--html %s: status %d, %d lines of %d, %r" % (name, status, len(lines),
                                                                    len(whole), errors[:300]))


class Checks:
    def __init__(self):
        self.failures = []
        self.count = 0

    def expect(self, condition, what):
        self.count += 1
        if not condition:
            self.failures.append(what)


def check_damaged(checks, quillon, folder, name, data, expected, bounds, damage_at):
    """`data` damaged at byte `damage_at`: the lines of the records wholly before the damaged
    one come first, those of the records wholly after it last, and the status is 1."""
    path = os.path.join(folder, name)
    with open(path, "wb") as archive:
        archive.write(data)
    status, lines, errors = run_quillon(quillon, "--warc", path)
    hit = next(i for i, (start, end) in enumerate(bounds) if start <= damage_at < end)
    before = [line for lines_of in expected[:hit] for line in lines_of]
    after = [line for lines_of in expected[hit + 1:] for line in lines_of] if len(data) > damage_at + 1 else []
    ok = (status == 1 and lines[:len(before)] == before and
          (not after or lines[-len(after):] == after) and b"offset" in errors)
    checks.expect(ok, "%s: damage at %d (record %d): status %d, %d lines, stderr %r" %
                  (name, damage_at, hit, status, len(lines), errors[:300]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quillon", required=True)
    parser.add_argument("--brotli-encoder", required=True)
    options = parser.parse_args()
    quillon = options.quillon
    checks = Checks()
    rng = random.Random(28500)
    with tempfile.TemporaryDirectory() as folder:
        site = page_server.Site(options.brotli_encoder)
        add_charset_pages(site)
        stored = make_archive(folder, site)
        per_record = members(stored)
        records = [inflated for _, _, inflated in per_record]
        expected = record_lines(records, site, page_links(quillon, folder, site))
        whole = [line for lines in expected for line in lines]
        html_records = sum(1 for lines in expected if lines)
        checks.expect(html_records >= len(page_server.CODINGS) * 2 and len(whole) > 1000,
                      "too few pages with links in the archive: %d" % html_records)

        plain = b"".join(records)
        one_stream = gzip.compress(plain, 6)
        forms = {"site.warc.gz": stored, "site.warc": plain, "one-stream.warc.gz": one_stream}
        for name, data in forms.items():
            with open(os.path.join(folder, name), "wb") as archive:
                archive.write(data)
            status, lines, errors = run_quillon(quillon, "--warc", os.path.join(folder, name))
            checks.expect(status == 0 and lines == whole,
                          "%s: status %d, %d lines of %d, %r" % (name, status, len(lines),
                                                                  len(whole), errors[:300]))
        check_html(checks, quillon, folder, site, records, forms)
        status, lines, _ = run_quillon(quillon, "--warc", "-", data=one_stream)
        checks.expect(status == 0 and lines == whole, "standard input: status %d" % status)
        status, lines, errors = run_quillon(quillon, "--warc", "--progress",
                                            os.path.join(folder, "site.warc.gz"))
        checks.expect(status == 0 and lines == whole and b"1/1 archives, " in errors and
                      errors.startswith(b"\r") and errors.endswith(b"site.warc.gz\n"),
                      "--progress: status %d, %r" % (status, errors[-200:]))
        names = b"".join(os.path.join(folder, name).encode() + b"\0" for name in forms)
        status, lines, _ = run_quillon(quillon, "--warc", "--files0-from=-", data=names)
        checks.expect(status == 0 and lines == whole * len(forms), "--files0-from: %d" % status)

        # Cut and flipped copies of the archive of one member per record.
        bounds = [(start, end) for start, end, _ in per_record]
        for cut in sorted(rng.sample(range(1, len(stored)), 30)) + [bounds[5][1] - 1]:
            hit = next(i for i, (start, end) in enumerate(bounds) if start <= cut < end)
            if cut == bounds[hit][0]:
                continue
            check_damaged(checks, quillon, folder, "cut.warc.gz", stored[:cut], expected,
                          bounds, cut)
        for _ in range(30):
            member = rng.randrange(len(bounds))
            start, end = bounds[member]
            # Bytes 4 to 9 of a member (time, flags for the compressor, system) are checked
            # by nothing.
            at = rng.choice([o for o in range(start, end) if not 4 <= o - start < 10])
            flipped = bytearray(stored)
            flipped[at] ^= 0xFF
            check_damaged(checks, quillon, folder, "flipped.warc.gz", bytes(flipped), expected,
                          bounds, at)
        # A plain archive cut inside a record's header or block.
        plain_bounds = []
        at = 0
        for record in records:
            plain_bounds.append((at, at + len(record) - 4))  # the CR LF CR LF after it is free
            at += len(record)
        for cut in rng.sample(range(1, len(plain)), 20):
            if not any(start < cut < end for start, end in plain_bounds):
                continue
            check_damaged(checks, quillon, folder, "cut.warc", plain[:cut], expected,
                          plain_bounds, cut)

    for failure in checks.failures:
        print("FAILED:", failure)
    print("%d checks, %d failed" % (checks.count, len(checks.failures)))
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
